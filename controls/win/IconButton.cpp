#include "controls/win/IconButton.h"
#include "framework/win/WideText.h"

#include "controls/win/CaptionFont.h"
#include "controls/win/GdiCanvas.h"
#include "framework/win/WindowDpi.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace {

// The button's own message for clearing the check state, which a push button lacks.
constexpr UINT clearCheckMessage = WM_USER + 0x100;

// Sent to a child after its parent has moved to another screen density; the headers name it
// only for newer targets than the program's.
constexpr UINT dpiChangedAfterParentMessage = 0x02E3;

Text WindowText(HWND window) {
    Text text(static_cast<std::size_t>(std::max(GetWindowTextLengthW(window), 0)) + 1, u'\0');
    const int length = GetWindowTextW(window, WideBuffer(text), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

bool TrackLeave(HWND window, DWORD flags) {
    TRACKMOUSEEVENT request{sizeof(request), flags, window, 0};
    return TrackMouseEvent(&request) != FALSE;
}

bool IsWindowUnder(POINT screenPoint, HWND window) {
    return WindowFromPoint(screenPoint) == window;
}

} // namespace

CIconButton::CIconButton() : textColor(GetSysColor(COLOR_BTNTEXT)) {}

CIconButton::~CIconButton() {
    // Unhook first, so no message reaches a button whose icons are gone.
    UnsubclassWindow();
    icons.Reset();
}

void CIconButton::PreSubclassWindow() {
    const HWND window = GetSafeHwnd();
    SetWindowLongW(window, GWL_STYLE, GetWindowLongW(window, GWL_STYLE) | BS_OWNERDRAW);
    UseDpi(WindowDpi(window));
}

void CIconButton::SetIcon(unsigned normalIconId, unsigned pressedIconId, unsigned hoverIconId) {
    iconIds = IconIds{normalIconId, pressedIconId, hoverIconId};
    UseDpi(WindowDpi(GetSafeHwnd()));
    LoadIcons();
}

void CIconButton::OnDpiChanged(UINT dpi) {
    UseDpi(dpi);
    if (iconIds)
        LoadIcons();
    Repaint();
}

void CIconButton::UseDpi(UINT dpi) {
    metrics = FaceMetricsForDpi(static_cast<std::int32_t>(dpi));
    captionFont = CaptionFontForDpi(dpi);
}

void CIconButton::LoadIcons() {
    icons.Reset();
    const int size = metrics.iconSize;
    UniqueIcon normal = LoadResourceIcon(iconIds->normal, size);
    if (!normal)
        return;

    const SIZE measured = IconSize(normal.get());
    RECT window{};
    GetWindowRect(GetSafeHwnd(), &window);
    const CanvasRect placed =
        IconRectFor(measured.cx, measured.cy, window.bottom - window.top, metrics.margin);
    iconRect = {placed.left, placed.top, placed.right, placed.bottom};

    UniqueIcon pressed = iconIds->pressed ? LoadResourceIcon(iconIds->pressed, size) : UniqueIcon{};
    UniqueIcon hover = iconIds->hover ? LoadResourceIcon(iconIds->hover, size) : UniqueIcon{};
    icons.Set(std::move(normal), std::move(pressed), std::move(hover));
}

ButtonFace CIconButton::FaceFor(std::uint32_t itemState, const RECT& item, TextView caption) const {
    ButtonFace face;
    face.itemState = itemState;
    face.item = {item.left, item.top, item.right, item.bottom};
    face.caption = caption;
    face.hovering = states.Hovering();
    face.metrics = metrics;
    face.textColour = textColor;
    face.icons = {ToCanvasIcon(icons.Normal()), ToCanvasIcon(icons.Pressed()),
                  ToCanvasIcon(icons.Hover())};
    face.iconRect = {iconRect.left, iconRect.top, iconRect.right, iconRect.bottom};
    face.colours = CurrentFaceColours();
    return face;
}

void CIconButton::DrawItem(const DRAWITEMSTRUCT& drawItem) {
    if (!states.SyncPushedBeforeDraw())
        return;
    const Text caption = WindowText(GetSafeHwnd());
    PaintButtonFaceInto(drawItem.hDC, FaceFor(drawItem.itemState, drawItem.rcItem, caption),
                        captionFont.get());
}

LRESULT CIconButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages nest (the press passed on sends draw and focus messages), so the outer
    // message is put back when this one is done.
    const Message outer = std::exchange(current, Message{message, wParam, lParam});
    struct Restore {
        Message& slot;
        Message saved;
        ~Restore() { slot = saved; }
    } restore{current, outer};

    switch (message) {
    case WM_MOUSEMOVE:
        return states.OnMouseMove({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_MOUSELEAVE:
        return states.OnMouseLeave();
    case WM_LBUTTONDOWN:
        return states.OnLButtonDown();
    case WM_LBUTTONUP:
        return states.OnLButtonUp();
    case WM_LBUTTONDBLCLK:
        return states.OnLButtonDblClk();
    case WM_KILLFOCUS:
        return states.OnKillFocus();
    case WM_ERASEBKGND:
        return states.OnEraseBackground();
    case BM_SETCHECK:
        return states.OnSetCheck();
    case BM_GETCHECK:
        return states.OnGetCheck();
    case clearCheckMessage:
        return states.OnClearCheck();
    case dpiChangedAfterParentMessage:
        // The parent has laid its controls out again, so the icon is placed on the new height.
        OnDpiChanged(WindowDpi(GetSafeHwnd()));
        return Default(message, wParam, lParam);
    default:
        return Default(message, wParam, lParam);
    }
}

std::intptr_t CIconButton::PassOn() {
    return Default(current.message, current.wParam, current.lParam);
}

void CIconButton::SendPressToSelf() {
    SendMessageW(GetSafeHwnd(), WM_LBUTTONDOWN, current.wParam, current.lParam);
}

bool CIconButton::HoldsCapture() {
    return GetCapture() == GetSafeHwnd();
}

void CIconButton::ReleaseCapture() {
    ::ReleaseCapture();
}

bool CIconButton::IsOverButton(CanvasPoint clientPoint) {
    POINT point{clientPoint.x, clientPoint.y};
    ClientToScreen(GetSafeHwnd(), &point);
    return IsWindowUnder(point, GetSafeHwnd());
}

std::optional<bool> CIconButton::IsCursorOverButton() {
    POINT point{};
    if (!GetCursorPos(&point))
        return std::nullopt;
    return IsWindowUnder(point, GetSafeHwnd());
}

bool CIconButton::IsPushed() {
    return (SendMessageW(GetSafeHwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

void CIconButton::SetPushed(bool pushed) {
    SendMessageW(GetSafeHwnd(), BM_SETSTATE, pushed ? TRUE : FALSE, 0);
}

bool CIconButton::RequestLeaveNotification() {
    return TrackLeave(GetSafeHwnd(), TME_LEAVE);
}

bool CIconButton::WithdrawLeaveNotification() {
    return TrackLeave(GetSafeHwnd(), TME_CANCEL | TME_LEAVE);
}

void CIconButton::Repaint() {
    InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

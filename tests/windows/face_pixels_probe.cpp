// Paints the logon button's faces of tests/IconButtonPixelGeometry.h with GDI, without a
// caption, and writes them as one 24-bit BMP under the row of the system colours they were
// painted with: the record that the Qt canvas is compared with. To make it again, after the
// Windows build, from the repository's folder:
//   tools/sandbox.sh sh -c 'cd build/windows && /usr/lib/wine/wine64 face_pixels_probe.exe
//       ../../res/icons/logon.ico faces.bmp'
//   python3 tools/png.py build/windows/faces.bmp tests/corpus/faces/gdi-faces.png
#include "controls/win/GdiCanvas.h"
#include "tests/IconButtonPixelGeometry.h"

#include <cstdio>
#include <vector>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3)
        return 2;
    const FaceGeometry& g = at96;
    const HICON icon =
        static_cast<HICON>(LoadImageW(nullptr, argv[1], IMAGE_ICON, g.icon.right - g.icon.left,
                                      g.icon.bottom - g.icon.top, LR_LOADFROMFILE));
    if (!icon)
        return 1;
    const int height = 1 + g.height * static_cast<int>(recordedFaces.size());

    UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), g.width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    UniqueBitmap bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    SelectObjectGuard selection(dc.get(), bitmap.get());
    for (std::size_t i = 0; i < recordedColours.size(); ++i)
        SetPixel(dc.get(), static_cast<int>(i), 0, GetSysColor(recordedColours[i]));

    const CanvasIcon canvasIcon = ToCanvasIcon(icon);
    for (std::size_t i = 0; i < recordedFaces.size(); ++i) {
        ButtonFace face;
        face.itemState = recordedFaces[i].itemState;
        face.hovering = recordedFaces[i].hovering;
        face.item = {0, 0, g.width, g.height};
        face.textColour = GetSysColor(COLOR_BTNTEXT);
        face.icons = {canvasIcon, canvasIcon, canvasIcon};
        face.iconRect = {g.icon.left, g.icon.top, g.icon.right, g.icon.bottom};
        face.colours = CurrentFaceColours();
        // Each face on its own memory surface, copied into its band of the record.
        UniqueMemoryDc band(CreateCompatibleDC(dc.get()));
        UniqueBitmap bandBitmap(CreateCompatibleBitmap(dc.get(), g.width, g.height));
        SelectObjectGuard bandSelection(band.get(), bandBitmap.get());
        PaintButtonFaceInto(band.get(), face);
        BitBlt(dc.get(), 0, 1 + g.height * static_cast<int>(i), g.width, g.height, band.get(), 0, 0,
               SRCCOPY);
    }
    GdiFlush();

    const int stride = (g.width * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * height);
    FILE* out = _wfopen(argv[2], L"wb");
    if (!out)
        return 1;
    fwrite(&file, sizeof(file), 1, out);
    fwrite(&info.bmiHeader, sizeof(info.bmiHeader), 1, out);
    fwrite(bits, static_cast<std::size_t>(stride * height), 1, out);
    fclose(out);
    DestroyIcon(icon);
    return 0;
}

#pragma once

// The icon button's hover highlight: on from a mouse move over the button until the mouse
// leaves the button or presses it. Where the platform reports a leave only on request, the
// edge passes that request in, and a refused one leaves the highlight as it was: off until
// a later move is granted one, or on after a press whose request could not be withdrawn
// (the pressed face then shows the hover marks too).
class IconButtonHover {
public:
    bool Hovering() const { return hovering; }

    // The mouse moved over the button with no press dragged on it. `requestLeave` runs only
    // while the highlight is off, and says whether the leave will be reported. Returns whether
    // the highlight went on, so the face wants a repaint.
    template <typename RequestLeave> bool OnMouseOver(RequestLeave requestLeave) {
        if (hovering || !requestLeave())
            return false;
        hovering = true;
        return true;
    }
    // The same where every leave is reported unasked.
    bool OnMouseOver() {
        return OnMouseOver([] { return true; });
    }

    void OnMouseLeave() { hovering = false; }

    // A left press on the button: the pressed face replaces the highlight. `withdrawLeave`
    // runs only while the highlight is on, and says whether the leave request is withdrawn.
    template <typename WithdrawLeave> void OnPress(WithdrawLeave withdrawLeave) {
        if (hovering && withdrawLeave())
            hovering = false;
    }
    void OnPress() { hovering = false; }

private:
    bool hovering = false;
};

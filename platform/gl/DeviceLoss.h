// When a device counts as lost. Windowed devices never are. A fullscreen device is lost while
// its window is minimised or has lost the input focus, and then needs a Reset once the window
// is back. A window that never had the focus (no window manager, headless runs) is not taken
// as unfocused, so such runs are not lost from the start.
#pragma once

namespace quorvel::gl {

class DeviceLoss {
public:
    enum class State { None, Lost, NeedsReset };

    // Takes the window's current condition and returns the state after it.
    State update(bool windowed, bool minimised, bool focused) {
        if (windowed) return state_ = State::None;
        if (focused) hadFocus_ = true;
        const bool away = minimised || (hadFocus_ && !focused);
        if (away)
            state_ = State::Lost;
        else if (state_ == State::Lost)
            state_ = State::NeedsReset;
        return state_;
    }
    State state() const { return state_; }
    // After a successful Reset.
    void reset() {
        state_ = State::None;
        hadFocus_ = false;
    }

private:
    State state_ = State::None;
    bool hadFocus_ = false;
};

}  // namespace quorvel::gl

#pragma once

/// Lets the face draw once in the first half and once in the second half of every second, at the
/// first 50 ms tick that falls in each half.
class HalfSecondGate {
public:
    /// True when a tick at this millisecond of its second should draw.
    bool shouldDraw(int ms)
    {
        if (m_phase == 0 && ms >= 0 && ms < 500) {
            m_phase = 500;
            return true;
        }
        if (m_phase == 500 && ms >= 500 && ms < 1000) {
            m_phase = 0;
            return true;
        }
        return false;
    }

private:
    int m_phase = 0;
};

// The layout's scale for the windows made while a LayoutScale lives: 1.5,
// as at 144 dots per inch with "EnableDPIAware" set, or 1.0. The settings
// and the screen's density it set are forgotten when it ends.
#pragma once

class LayoutScale {
public:
    explicit LayoutScale(bool oneAndAHalf);
    ~LayoutScale();
    LayoutScale(const LayoutScale&) = delete;
    LayoutScale& operator=(const LayoutScale&) = delete;
};

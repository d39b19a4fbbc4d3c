// The place of a control as the user sees it: its position and size in twips,
// and the pixels its widget covers.
#pragma once

#include <gtest/gtest.h>

#include <QRect>
#include <QWidget>

#include "platform/Form.h"

namespace apptest {

inline void ExpectAtTwips(platform::Control& control, int left, int top, int width, int height) {
    using platform::TwipsToPixels;
    EXPECT_EQ(control.Left(), left);
    EXPECT_EQ(control.Top(), top);
    EXPECT_EQ(control.Width(), width);
    EXPECT_EQ(control.Height(), height);
    EXPECT_EQ(control.Widget()->geometry(), QRect(TwipsToPixels(left), TwipsToPixels(top),
                                                  TwipsToPixels(width), TwipsToPixels(height)));
}

}  // namespace apptest

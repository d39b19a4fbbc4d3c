// Paints put off while a run yields still come.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>

#include "platform/Events.h"

namespace {

// A window that notes the state it last painted.
class Noting : public QWidget {
  public:
    int state = 0;
    int painted = -1;

  protected:
    void paintEvent(QPaintEvent*) override { painted = state; }
};

// Runs the loop until the window has painted the state, or for at most five
// seconds (far past any paint held back); whether it came.
bool Painted(const Noting& w, int state) {
    QElapsedTimer t;
    t.start();
    while (w.painted != state && t.elapsed() < 5000) QCoreApplication::processEvents();
    return w.painted == state;
}

TEST(PaintThrottle, TheLastStateOfARunIsPaintedOnceTheLoopRunsAgain) {
    for (bool now : {true, false}) {
        SCOPED_TRACE(now ? "repaint" : "update");
        Noting w;
        w.resize(100, 100);
        w.show();
        ASSERT_TRUE(Painted(w, 0)) << "the window was never shown";
        for (int i = 1; i <= 2000; ++i) {
            w.state = i;
            now ? w.repaint() : w.update();
            platform::DoEvents();
        }
        EXPECT_TRUE(Painted(w, 2000)) << "last painted: " << w.painted;
    }
}

}  // namespace

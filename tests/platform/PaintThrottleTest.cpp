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

void Idle(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents();
}

TEST(PaintThrottle, TheLastStateOfARunIsPaintedOnceTheLoopRunsAgain) {
    for (bool now : {true, false}) {
        SCOPED_TRACE(now ? "repaint" : "update");
        Noting w;
        w.resize(100, 100);
        w.show();
        Idle(30);
        for (int i = 1; i <= 2000; ++i) {
            w.state = i;
            now ? w.repaint() : w.update();
            platform::DoEvents();
        }
        Idle(60);
        EXPECT_EQ(w.painted, 2000);
    }
}

}  // namespace

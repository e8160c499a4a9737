// The application object's last guard: an exception thrown while an event
// is delivered stops there instead of unwinding through the event loop.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>
#include <new>
#include <stdexcept>

namespace {

class CThrowingObject : public QObject {
public:
  int delivered = 0;
  bool event(QEvent* event) override {
    if (event->type() != QEvent::User) return QObject::event(event);
    if (++delivered == 1) throw std::bad_alloc();
    throw std::runtime_error("broken");
  }
};

} // namespace

TEST(EventGuard, ExceptionsInEventsStayInTheApplication) {
  CThrowingObject object;
  QEvent event(QEvent::User);
  EXPECT_NO_THROW(QCoreApplication::sendEvent(&object, &event));
  EXPECT_NO_THROW(QCoreApplication::sendEvent(&object, &event));
  EXPECT_EQ(object.delivered, 2);
}

#include "window/qt/on_screen.h"

#include <QScrollArea>

QWidget* ShowOnScreen(QWidget* window, QSize room) {
  if (room.width() >= window->width() && room.height() >= window->height()) {
    window->show();
    return window;
  }
  auto* view = new QScrollArea;
  view->setAttribute(Qt::WA_DeleteOnClose);
  view->setWindowTitle(window->windowTitle());
  view->setWindowIcon(window->windowIcon());
  QObject::connect(window, &QWidget::windowTitleChanged, view, &QWidget::setWindowTitle);
  // The scrolled view closes and deletes the window with it.
  window->setAttribute(Qt::WA_DeleteOnClose, false);
  view->setWidget(window);
  view->resize(room.boundedTo(window->size() + QSize(view->frameWidth(), view->frameWidth()) * 2));
  view->show();
  return view;
}

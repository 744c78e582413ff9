#pragma once

#include <QWidget>

// What a screen reader says when a run ends, wherever the focus is: the
// run's verdict ("008 Fim de Conversão bem sucedido", "011 CONVERSÃO NÃO
// REALIZADA"). Screen readers on Linux speak a notification as it
// appears, so this is one: a widget of no size that draws nothing and
// takes no input, named by the verdict, shown anew at the end of each run.
class VerdictNotice : public QWidget {
  Q_OBJECT

 public:
  explicit VerdictNotice(QWidget* parent = nullptr);

  // Says `verdict`: hidden, named, shown again, so that even the same
  // verdict twice in a row is a new notification.
  void announce(const QString& verdict);
};

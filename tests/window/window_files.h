#pragma once

// Movement files for the window tests, written into scratch folders.

#include <QByteArray>
#include <QFile>
#include <QString>

// A movement file of `records` departures, ASCII only.
inline QByteArray MovementFile(int records) {
  QByteArray text = "SBJD DTA0612 " + QByteArray::number(records).rightJustified(5, '0') + "\r\n";
  for (int i = 0; i < records; ++i) {
    text += "SBJD MV  061226PRJGA  C172V SBKP0705        01 18    AER1  local\r\n";
  }
  return text;
}

// Writes `content` to `path`; returns `path`, or an empty string when that
// fails.
inline QString WriteFile(const QString& path, const QByteArray& content) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) return {};
  return path;
}

#pragma once

// Movement files for the window tests, written into scratch folders.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <filesystem>
#include <fstream>
#include <string>

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

// Writes `content` to the file whose path is the bytes `path`, which need
// not be UTF-8; returns whether that worked.
inline bool WriteFileNamed(const std::string& path, const QByteArray& content) {
  std::ofstream file(std::filesystem::path(path), std::ios::binary);
  return static_cast<bool>(file.write(content.constData(), content.size()));
}

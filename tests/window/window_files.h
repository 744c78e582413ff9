#pragma once

// Movement files for the window tests, written into scratch folders.

#include <QAbstractItemView>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

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

// The rows a list shows, top to bottom.
inline QStringList Rows(const QAbstractItemView& list) {
  QStringList rows;
  for (int row = 0; row < list.model()->rowCount(); ++row) {
    rows.append(list.model()->index(row, 0).data().toString());
  }
  return rows;
}

// The middle of the row of a list that shows `text`; (-1, -1) for none.
inline QPoint RowAt(const QAbstractItemView& list, const QString& text) {
  const int row = int(Rows(list).indexOf(text));
  return row < 0 ? QPoint(-1, -1) : list.visualRect(list.model()->index(row, 0)).center();
}

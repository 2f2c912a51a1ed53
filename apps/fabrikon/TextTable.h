// TextTable: a plain text table for terminal output, with columns padded to
// the width the text takes on screen (Chinese characters take two cells), so
// rows of mixed Chinese and Latin text still line up.
#pragma once
#include <ostream>
#include <string>
#include <vector>

namespace fabrikon::cli {

class TextTable {
 public:
  enum class Align { Left, Right };
  struct Column {
    std::string header;
    Align align = Align::Left;
  };

  explicit TextTable(std::vector<Column> columns) : columns_(std::move(columns)) {}

  // A row of exactly one cell per column (missing cells print empty).
  void AddRow(std::vector<std::string> cells);
  size_t RowCount() const { return rows_.size(); }

  // Header, a rule of dashes, then the rows; each line starts with indent.
  void Print(std::ostream& out, const std::string& indent) const;

  // Terminal cells taken by UTF-8 text: East Asian wide and full-width
  // characters count two, everything else one.
  static size_t DisplayWidth(const std::string& text);
  // The text padded with blanks to the given display width.
  static std::string Pad(const std::string& text, size_t width, Align align = Align::Left);

 private:
  std::vector<size_t> Widths() const;

  std::vector<Column> columns_;
  std::vector<std::vector<std::string>> rows_;
};

}  // namespace fabrikon::cli

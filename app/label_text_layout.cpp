#include "app/label_text_layout.h"

#include <algorithm>
#include <vector>

namespace quillet {
namespace {

constexpr int kTabChars = 8;

std::string ExpandTabs(std::string_view text) {
  std::string out;
  int column = 0;
  for (char c : text) {
    if (c == '\t') {
      const int spaces = kTabChars - column % kTabChars;
      out.append(static_cast<std::size_t>(spaces), ' ');
      column += spaces;
    } else {
      out += c;
      column = (c == '\n') ? 0 : column + 1;
    }
  }
  return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t nl = text.find('\n', start);
    std::string line(text.substr(start, nl == std::string_view::npos ? nl : nl - start));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  return lines;
}

// Greedy breaking between words; a word wider than the line stands alone.
std::vector<std::string> BreakLine(Canvas& canvas, const std::string& line, int width) {
  std::vector<std::string> out;
  std::string current;
  std::size_t pos = 0;
  while (pos < line.size()) {
    std::size_t end = line.find(' ', pos);
    if (end == std::string::npos) end = line.size();
    const std::string word = line.substr(pos, end - pos);
    const std::string candidate = current.empty() ? word : current + " " + word;
    if (!current.empty() && canvas.TextWidth(candidate) > width) {
      out.push_back(current);
      current = word;
    } else {
      current = candidate;
    }
    pos = end + 1;
  }
  out.push_back(current);
  return out;
}

}  // namespace

std::string StripAccelerators(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      if (i + 1 < text.size() && text[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

std::string EllipsisText(Canvas& canvas, const std::string& line, int width, bool path) {
  if (canvas.TextWidth(line) <= width) return line;
  static const std::string dots = "...";
  std::string head = line;
  std::string tail;
  if (path) {
    const std::size_t sep = line.find_last_of("\\/");
    if (sep != std::string::npos) {
      head = line.substr(0, sep);
      tail = line.substr(sep);
    }
  }
  while (!head.empty()) {
    head.pop_back();
    const std::string shortened = head + dots + tail;
    if (canvas.TextWidth(shortened) <= width) return shortened;
  }
  // Even the bare tail does not fit: shorten it at its end.
  std::string rest = tail;
  while (!rest.empty() && canvas.TextWidth(dots + rest) > width) rest.pop_back();
  return dots + rest;
}

int DrawFormattedText(Canvas& canvas, Rect& rect, std::string_view text, unsigned flags) {
  std::string body = (flags & dtExpandTabs) ? ExpandTabs(text) : std::string(text);
  if (!(flags & dtNoPrefix)) body = StripAccelerators(body);

  std::vector<std::string> lines;
  if (flags & dtSingleLine) {
    std::replace(body.begin(), body.end(), '\n', ' ');
    body.erase(std::remove(body.begin(), body.end(), '\r'), body.end());
    lines.push_back(body);
  } else {
    for (const std::string& l : SplitLines(body)) {
      if (flags & dtWordBreak) {
        for (std::string& piece : BreakLine(canvas, l, rect.Width()))
          lines.push_back(std::move(piece));
      } else {
        lines.push_back(l);
      }
    }
  }
  if (flags & (dtEndEllipsis | dtPathEllipsis))
    for (std::string& l : lines) l = EllipsisText(canvas, l, rect.Width(), flags & dtPathEllipsis);

  const int lineH = canvas.GetTextMetrics().height;
  const int totalH = lineH * static_cast<int>(lines.size());
  if (flags & dtCalcRect) {
    int widest = 0;
    for (const std::string& l : lines) widest = std::max(widest, canvas.TextWidth(l));
    rect.right = rect.left + widest;
    rect.bottom = rect.top + totalH;
    return totalH;
  }

  int y = rect.top;
  if (flags & dtSingleLine) {
    if (flags & dtVCenter)
      y = rect.top + (rect.Height() - lineH) / 2;
    else if (flags & dtBottom)
      y = rect.bottom - lineH;
  }
  for (const std::string& l : lines) {
    const int w = canvas.TextWidth(l);
    int x = rect.left;
    if (flags & dtRight)
      x = rect.right - w;
    else if (flags & dtCenter)
      x = rect.left + (rect.Width() - w) / 2;
    canvas.ExtTextOut(x, y, etoClipped, &rect, l);
    y += lineH;
  }
  return totalH;
}

}  // namespace quillet

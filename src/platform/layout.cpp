// Layouts of edit descriptors: parsed once into a tree, then executed for
// each output with the items given. Execution appends to the caller's string
// (or to one reused buffer for unit output), so formatting a number allocates
// nothing once the buffers have grown.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace kavril::platform {

namespace {

enum class Edit { Integer, Fixed, DoubleExp, Exp, Scientific, Text, Logical, Blanks, Slash, Literal, Group };

struct Node {
  Edit edit = Edit::Literal;
  int repeat = 1;
  int w = -1;  // -1: A without width
  int d = -1;  // decimals of F/D/E, minimum digits of I (-1: none)
  std::string literal;
  std::vector<Node> children;
};

bool is_data(Edit edit) {
  return edit == Edit::Integer || edit == Edit::Fixed || edit == Edit::DoubleExp || edit == Edit::Exp ||
         edit == Edit::Scientific || edit == Edit::Text || edit == Edit::Logical;
}

[[noreturn]] void fail(std::string_view what, std::string_view layout) {
  std::string message = "kavril: ";
  message.append(what).append(": ").append(layout).append("\n");
  (void)!::write(2, message.data(), message.size());
  std::abort();
}

// Recursive-descent parser of "(item,item,...)"; blanks outside literals are
// ignored, commas between items are optional around "/".
class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  std::vector<Node> parse() {
    if (next() != '(') fail("layout must start with '('", text_);
    ++pos_;
    std::vector<Node> nodes = parse_list();
    if (next() != '\0') fail("text after the closing ')' of layout", text_);
    return nodes;
  }

 private:
  // Next non-blank character ('\0' at the end), not consumed.
  char next() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
    return pos_ < text_.size() ? text_[pos_] : '\0';
  }
  static char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
  static bool digit(char c) { return c >= '0' && c <= '9'; }

  int number() {
    if (!digit(next())) fail("number expected in layout", text_);
    int value = 0;
    while (digit(next())) {
      value = value * 10 + (text_[pos_++] - '0');
      if (value > 1000) fail("number above 1000 in layout", text_);
    }
    return value;
  }

  std::vector<Node> parse_list() {
    std::vector<Node> nodes;
    for (;;) {
      const char c = next();
      if (c == '\0') fail("missing ')' in layout", text_);
      if (c == ')') {
        ++pos_;
        return nodes;
      }
      if (c == ',') {
        ++pos_;
        continue;
      }
      nodes.push_back(parse_item());
    }
  }

  Node parse_item() {
    Node node;
    const bool counted = digit(next());
    if (counted) node.repeat = number();
    if (node.repeat < 1) fail("repeat count 0 in layout", text_);
    const char c = upper(next());
    ++pos_;
    switch (c) {
      case '\'':
      case '"':
        if (counted) fail("repeat count before a literal in layout", text_);
        node.edit = Edit::Literal;
        node.literal = literal(c);
        return node;
      case '(':
        node.edit = Edit::Group;
        node.children = parse_list();
        return node;
      case '/':
        node.edit = Edit::Slash;
        return node;
      case 'X':
        node.edit = Edit::Blanks;
        node.w = node.repeat;
        node.repeat = 1;
        return node;
      case 'I':
        node.edit = Edit::Integer;
        node.w = width();
        if (next() == '.') {
          ++pos_;
          node.d = number();
        }
        return node;
      case 'F':
      case 'D':
      case 'E':
        node.edit = c == 'F' ? Edit::Fixed : c == 'D' ? Edit::DoubleExp : Edit::Exp;
        if (c == 'E' && upper(next()) == 'S') {
          ++pos_;
          node.edit = Edit::Scientific;
        }
        node.w = width();
        if (next() != '.') fail("decimals expected in layout", text_);
        ++pos_;
        node.d = number();
        if (c != 'F' && node.d < 1) fail("at least one digit needed in layout", text_);
        return node;
      case 'A':
        node.edit = Edit::Text;
        if (digit(next())) node.w = width();
        return node;
      case 'L':
        node.edit = Edit::Logical;
        node.w = width();
        return node;
      default:
        fail("unknown edit descriptor in layout", text_);
    }
  }

  int width() {
    const int w = number();
    if (w < 1) fail("field width 0 in layout", text_);
    return w;
  }

  // A quoted literal; a doubled quote stands for one.
  std::string literal(char quote) {
    std::string value;
    for (;;) {
      if (pos_ >= text_.size()) fail("unterminated literal in layout", text_);
      const char c = text_[pos_++];
      if (c == quote) {
        if (pos_ < text_.size() && text_[pos_] == quote) {
          value += quote;
          ++pos_;
          continue;
        }
        return value;
      }
      value += c;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace

struct Layout::Impl {
  std::string source;
  std::vector<Node> nodes;
  std::size_t reversion = 0;  // index of the last top-level group, 0 without one
};

namespace {

// Hands out the items one by one; a list supplies one item per element.
class Items {
 public:
  explicit Items(std::span<const Arg> args) : args_(args) {}

  bool left() {
    while (index_ < args_.size()) {
      const Arg& a = args_[index_];
      if (a.kind() == Arg::Kind::RealList && element_ < a.reals().size()) return true;
      if (a.kind() == Arg::Kind::IntegerList && element_ < a.integers().size()) return true;
      if (a.kind() != Arg::Kind::RealList && a.kind() != Arg::Kind::IntegerList) return true;
      ++index_;
      element_ = 0;
    }
    return false;
  }

  long long integer(std::string_view layout) {
    const Arg& a = args_[index_];
    if (a.kind() == Arg::Kind::Integer) return take(a.integer());
    if (a.kind() == Arg::Kind::IntegerList) return take_element(a.integers()[element_]);
    mismatch("I", layout);
  }
  double real(std::string_view layout) {
    const Arg& a = args_[index_];
    if (a.kind() == Arg::Kind::Real) return take(a.real());
    if (a.kind() == Arg::Kind::RealList) return take_element(a.reals()[element_]);
    mismatch("F, D, E or ES", layout);
  }
  std::string_view text(std::string_view layout) {
    const Arg& a = args_[index_];
    if (a.kind() != Arg::Kind::Text) mismatch("A", layout);
    return take(a.text());
  }
  // Up to `most` reals of the current list item, taken; empty unless the
  // current item is a list of reals.
  std::span<const double> reals(std::size_t most) {
    if (!left() || args_[index_].kind() != Arg::Kind::RealList) return {};
    const std::span<const double> rest = args_[index_].reals().subspan(element_);
    const std::span<const double> taken = rest.first(std::min(most, rest.size()));
    element_ += taken.size();
    return taken;
  }
  bool logical(std::string_view layout) {
    const Arg& a = args_[index_];
    if (a.kind() != Arg::Kind::Logical) mismatch("L", layout);
    return take(a.integer() != 0);
  }

 private:
  template <class T>
  T take(T value) {
    ++index_;
    element_ = 0;
    return value;
  }
  template <class T>
  T take_element(T value) {
    ++element_;
    return value;
  }
  [[noreturn]] void mismatch(std::string_view descriptor, std::string_view layout) {
    std::string what = "item ";
    what += std::to_string(index_ + 1);
    what += " does not suit edit descriptor ";
    what.append(descriptor);
    what += " of layout";
    fail(what, layout);
  }

  std::span<const Arg> args_;
  std::size_t index_ = 0;
  std::size_t element_ = 0;
};

// A growable run of characters that the edit descriptors write into
// directly: a std::string would fill every field with blanks first.
class Chars {
 public:
  // Room for n more characters, not yet written.
  char* extend(std::size_t n) {
    if (n > capacity_ - size_) grow(n);
    char* const at = data_.get() + size_;
    size_ += n;
    return at;
  }
  void append(std::string_view text) {
    if (!text.empty()) std::memcpy(extend(text.size()), text.data(), text.size());
  }
  void append(std::size_t n, char c) {
    if (n != 0) std::memset(extend(n), c, n);
  }
  void push_back(char c) { *extend(1) = c; }
  std::string_view view() const { return {data_.get(), size_}; }
  void clear() { size_ = 0; }

 private:
  void grow(std::size_t n) {
    const std::size_t capacity = std::max(size_ + n, 2 * capacity_ + 256);
    std::unique_ptr<char[]> data(new char[capacity]);
    if (size_ != 0) std::memcpy(data.get(), data_.get(), size_);
    data_ = std::move(data);
    capacity_ = capacity;
  }

  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

class Runner {
 public:
  Runner(const Layout::Impl& layout, std::span<const Arg> args, Chars& out)
      : layout_(layout), items_(args), out_(out) {}

  void run() {
    run_nodes(layout_.nodes, 0);
    // Format reversion: items left at the end start a new line and the
    // layout again from its last top-level group.
    while (!stopped_ && consumed_ > 0 && items_.left()) {
      out_.push_back('\n');
      consumed_ = 0;
      run_nodes(layout_.nodes, layout_.reversion);
    }
    out_.push_back('\n');
  }

 private:
  void run_nodes(const std::vector<Node>& nodes, std::size_t first) {
    for (std::size_t i = first; i < nodes.size() && !stopped_; ++i) {
      const int done = run_real_list(nodes[i]);
      for (int r = done; r < nodes[i].repeat && !stopped_; ++r) run_node(nodes[i]);
    }
  }

  // A repeated F, D, E or ES descriptor over a list of reals (the records of
  // the RINEX files) writes the values of the list in one loop; returns how
  // many it wrote (0 for other descriptors and items).
  int run_real_list(const Node& node) {
    void (*const put_real)(char*, double, int, int) = node.edit == Edit::DoubleExp    ? put_D
                                                      : node.edit == Edit::Scientific ? put_ES
                                                      : node.edit == Edit::Exp        ? put_E
                                                      : node.edit == Edit::Fixed      ? put_F
                                                                                      : nullptr;
    if (put_real == nullptr) return 0;
    const std::span<const double> values = items_.reals(static_cast<std::size_t>(node.repeat));
    for (const double value : values) put_real(out_.extend(static_cast<std::size_t>(node.w)), value, node.w, node.d);
    consumed_ += static_cast<int>(values.size());
    return static_cast<int>(values.size());
  }

  void run_node(const Node& node) {
    if (is_data(node.edit)) {
      if (!items_.left()) {
        stopped_ = true;
        return;
      }
      ++consumed_;
    }
    switch (node.edit) {
      case Edit::Integer: return put(node.w, [&](char* p) { put_I(p, items_.integer(layout_.source), node.w, node.d); });
      case Edit::Fixed: return put(node.w, [&](char* p) { put_F(p, items_.real(layout_.source), node.w, node.d); });
      case Edit::DoubleExp: return put(node.w, [&](char* p) { put_D(p, items_.real(layout_.source), node.w, node.d); });
      case Edit::Exp: return put(node.w, [&](char* p) { put_E(p, items_.real(layout_.source), node.w, node.d); });
      case Edit::Scientific:
        return put(node.w, [&](char* p) { put_ES(p, items_.real(layout_.source), node.w, node.d); });
      case Edit::Text: return put_text(items_.text(layout_.source), node.w);
      case Edit::Logical:
        out_.append(static_cast<std::size_t>(node.w - 1), ' ');
        out_.push_back(items_.logical(layout_.source) ? 'T' : 'F');
        return;
      case Edit::Blanks: out_.append(static_cast<std::size_t>(node.w), ' '); return;
      case Edit::Slash: out_.push_back('\n'); return;
      case Edit::Literal: out_.append(node.literal); return;
      case Edit::Group: return run_nodes(node.children, 0);
    }
  }

  template <class F>
  void put(int w, F format) {
    format(out_.extend(static_cast<std::size_t>(w)));
  }

  // A: the whole text; Aw: cut or blank-padded on the right to w.
  void put_text(std::string_view text, int w) {
    if (w < 0) {
      out_.append(text);
      return;
    }
    const std::size_t width = static_cast<std::size_t>(w);
    out_.append(text.substr(0, width));
    if (text.size() < width) out_.append(width - text.size(), ' ');
  }

  const Layout::Impl& layout_;
  Items items_;
  Chars& out_;
  bool stopped_ = false;
  int consumed_ = 0;
};

// The buffer of layout output, reused from call to call (a layout's items
// never run another layout while it is being executed).
Chars& layout_buffer() {
  static Chars buffer;
  buffer.clear();
  return buffer;
}

// Output buffer of list-directed writes, reused from call to call.
std::string& line_buffer() {
  static std::string buffer;
  buffer.clear();
  return buffer;
}

}  // namespace

Layout::Layout(std::string_view layout) : impl_(new Impl) {
  impl_->source = std::string(layout);
  impl_->nodes = Parser(impl_->source).parse();
  for (std::size_t i = 0; i < impl_->nodes.size(); ++i)
    if (impl_->nodes[i].edit == Edit::Group) impl_->reversion = i;
}

Layout::~Layout() { delete impl_; }

void Layout::format(std::string& out, std::initializer_list<Arg> args) const {
  format(out, std::span<const Arg>(args.begin(), args.size()));
}

void Layout::format(std::string& out, std::span<const Arg> args) const {
  Chars& buffer = layout_buffer();
  Runner(*impl_, args, buffer).run();
  out.append(buffer.view());
}

int Layout::write(int unit, std::initializer_list<Arg> args) const {
  return write(unit, std::span<const Arg>(args.begin(), args.size()));
}

int Layout::write(int unit, std::span<const Arg> args) const {
  Chars& buffer = layout_buffer();
  Runner(*impl_, args, buffer).run();
  return write_text(unit, buffer.view());
}

int write_layout(int unit, std::string_view layout, std::initializer_list<Arg> args) {
  return Layout(layout).write(unit, args);
}

namespace {

void append_list_item(std::string& line, const Arg& a) {
  char buf[32];
  line += ' ';
  switch (a.kind()) {
    case Arg::Kind::Integer: line.append(buf, std::to_chars(buf, buf + sizeof buf, a.integer()).ptr); break;
    case Arg::Kind::Real: line.append(buf, std::to_chars(buf, buf + sizeof buf, a.real()).ptr); break;
    case Arg::Kind::Text: line += a.text(); break;
    case Arg::Kind::Logical: line += a.integer() != 0 ? 'T' : 'F'; break;
    case Arg::Kind::RealList:
      line.pop_back();
      for (double v : a.reals()) append_list_item(line, Arg(v));
      break;
    case Arg::Kind::IntegerList:
      line.pop_back();
      for (int v : a.integers()) append_list_item(line, Arg(v));
      break;
  }
}

}  // namespace

int write_list(int unit, std::initializer_list<Arg> args) {
  std::string& line = line_buffer();
  for (const Arg& a : args) append_list_item(line, a);
  return write_line(unit, line);
}

}  // namespace kavril::platform

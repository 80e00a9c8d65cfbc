// Arithmetic and comparison of values; the rules are listed in variant.h.
#include <cmath>
#include <limits>

#include "platform/errors.h"
#include "platform/numeric.h"
#include "report/base/text_format.h"
#include "report/base/variant.h"

namespace quillet {
namespace {

using T = Variant::Type;

// A value read as a number: integers stay integers where they can.
struct Number {
  bool isInteger = true;
  std::int64_t i = 0;
  double f = 0;
  double AsDouble() const { return isInteger ? static_cast<double>(i) : f; }
};

Number ToNumber(const Variant& v) {
  Number n;
  switch (v.GetType()) {
    case T::Empty:
    case T::Null: return n;
    case T::Boolean: n.i = v.AsBoolean() ? -1 : 0; return n;
    case T::Integer: n.i = v.AsInteger(); return n;
    case T::Text: {
      // A text with an integer's form stays an integer; anything else must
      // read as a float.
      const std::string& s = *v.IfText();
      std::int64_t i = 0;
      bool isInt = !s.empty() && s.find_first_of(".eE$xX") == std::string::npos;
      if (isInt) {
        try {
          i = StrToInt64(s);
        } catch (const ConversionError&) {
          isInt = false;
        }
      }
      if (isInt) {
        n.i = i;
        return n;
      }
      n.isInteger = false;
      n.f = StrToFloat(s, '.');
      return n;
    }
    case T::Float:
    case T::Date:
      n.isInteger = false;
      n.f = v.AsFloat();
      return n;
  }
  return n;
}

Variant FromNumber(const Number& n) {
  if (n.isInteger) return Variant(n.i);
  return Variant(n.f);
}

bool IsTextLike(const Variant& v) {
  return v.GetType() == T::Text;
}

enum class Op { Add, Subtract, Multiply };

Variant Arith(const Variant& a, const Variant& b, Op op) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  const Number x = ToNumber(a);
  const Number y = ToNumber(b);
  Number r;
  if (x.isInteger && y.isInteger) {
    std::int64_t out = 0;
    bool overflow = false;
    switch (op) {
      case Op::Add: overflow = __builtin_add_overflow(x.i, y.i, &out); break;
      case Op::Subtract: overflow = __builtin_sub_overflow(x.i, y.i, &out); break;
      case Op::Multiply: overflow = __builtin_mul_overflow(x.i, y.i, &out); break;
    }
    if (!overflow) {
      r.i = out;
      return FromNumber(r);
    }
  }
  r.isInteger = false;
  const double p = x.AsDouble();
  const double q = y.AsDouble();
  switch (op) {
    case Op::Add: r.f = p + q; break;
    case Op::Subtract: r.f = p - q; break;
    case Op::Multiply: r.f = p * q; break;
  }
  // A date moved by a number stays a date; the distance of two dates does not.
  const bool dateA = a.GetType() == T::Date;
  const bool dateB = b.GetType() == T::Date;
  if (op != Op::Multiply && (dateA != dateB) && (dateA || op == Op::Add))
    return Variant(DateTime{r.f});
  return FromNumber(r);
}

std::int64_t ToInteger(const Variant& v) {
  const Number n = ToNumber(v);
  return n.isInteger ? n.i : Round64(n.f);
}

}  // namespace

Variant AddValues(const Variant& a, const Variant& b) {
  const bool textA = IsTextLike(a) || a.IsEmpty();
  const bool textB = IsTextLike(b) || b.IsEmpty();
  // A text beside a date joins the date's text: 'Printed ' + DATE.
  const bool joinsDate =
      (IsTextLike(a) && b.GetType() == T::Date) || (a.GetType() == T::Date && IsTextLike(b));
  if ((textA && textB && (IsTextLike(a) || IsTextLike(b))) || joinsDate) {
    std::string left = a.AsText();
    const std::string right = b.AsText();
    if (left.size() + right.size() > kMaxTextBytes)
      throw EngineError("A text would grow to " + std::to_string(left.size() + right.size()) +
                        " bytes, past the bound of " + std::to_string(kMaxTextBytes >> 20) +
                        " MiB for one value");
    left += right;
    return Variant(std::move(left));
  }
  return Arith(a, b, Op::Add);
}

Variant SubtractValues(const Variant& a, const Variant& b) {
  return Arith(a, b, Op::Subtract);
}

Variant MultiplyValues(const Variant& a, const Variant& b) {
  return Arith(a, b, Op::Multiply);
}

Variant DivideValues(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  const double q = ToNumber(b).AsDouble();
  if (q == 0) return Variant(0.0);
  return Variant(ToNumber(a).AsDouble() / q);
}

Variant ModValues(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  const std::int64_t x = ToInteger(a);
  const std::int64_t y = ToInteger(b);
  if (y == 0) throw ParserError("Division by zero in MOD");
  if (y == -1) return Variant(std::int64_t(0));  // INT64_MIN mod -1 would trap
  return Variant(x % y);
}

Variant OrValues(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull()) return Variant::Null();
  if (a.GetType() == T::Boolean && b.GetType() == T::Boolean)
    return Variant(a.AsBoolean() || b.AsBoolean());
  return Variant(ToInteger(a) | ToInteger(b));
}

Variant NegateValue(const Variant& a) {
  if (a.IsNull()) return a;
  if (a.GetType() == T::Date) return Variant(DateTime{-a.AsFloat()});
  Number n = ToNumber(a);
  if (n.isInteger && n.i != std::numeric_limits<std::int64_t>::min()) {
    n.i = -n.i;
    return FromNumber(n);
  }
  return Variant(-n.AsDouble());
}

int CompareValues(const Variant& a, const Variant& b) {
  const bool nullA = a.IsNull() || (a.IsEmpty() && b.IsNull());
  const bool nullB = b.IsNull() || (b.IsEmpty() && a.IsNull());
  if (nullA || nullB) return nullA == nullB ? 0 : (nullA ? -1 : 1);
  const bool textA = IsTextLike(a) || a.IsEmpty();
  const bool textB = IsTextLike(b) || b.IsEmpty();
  if (textA && textB) {
    const int c = a.AsText().compare(b.AsText());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }
  if (a.GetType() == T::Boolean && b.GetType() == T::Boolean)
    return int(a.AsBoolean()) - int(b.AsBoolean());
  const Number x = ToNumber(a);
  const Number y = ToNumber(b);
  if (x.isInteger && y.isInteger) return x.i < y.i ? -1 : (x.i > y.i ? 1 : 0);
  const double p = x.AsDouble();
  const double q = y.AsDouble();
  return p < q ? -1 : (p > q ? 1 : 0);
}

bool ValuesEqual(const Variant& a, const Variant& b) {
  return CompareValues(a, b) == 0;
}

}  // namespace quillet

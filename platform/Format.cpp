#include "platform/Format.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "platform/Error.h"

namespace trovel {
namespace {

std::string Padded(int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  return buf;
}

size_t RunLength(const std::string& f, size_t i, char lower) {
  size_t n = 0;
  while (i + n < f.size() && std::tolower(static_cast<unsigned char>(f[i + n])) == lower) ++n;
  return n;
}

std::string FormatDate(const DateTime& d, const std::string& f) {
  std::string out;
  bool after_hour = false;
  for (size_t i = 0; i < f.size();) {
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(f[i])));
    size_t n = RunLength(f, i, c);
    switch (c) {
      case 'd': out += n == 1 ? std::to_string(d.day) : Padded(d.day, 2); i += std::min<size_t>(n, 2); break;
      case 'y':
        if (n >= 4) out += Padded(d.year, 4), i += 4;
        else if (n >= 2) out += Padded(d.year % 100, 2), i += 2;
        else out += std::to_string(d.year), i += 1;
        break;
      case 'm': {
        int v = after_hour ? d.minute : d.month;
        out += n == 1 ? std::to_string(v) : Padded(v, 2);
        i += std::min<size_t>(n, 2);
        after_hour = false;
        break;
      }
      case 'h': out += n == 1 ? std::to_string(d.hour) : Padded(d.hour, 2); i += std::min<size_t>(n, 2); after_hour = true; break;
      case 'n': out += n == 1 ? std::to_string(d.minute) : Padded(d.minute, 2); i += std::min<size_t>(n, 2); after_hour = false; break;
      case 's': out += n == 1 ? std::to_string(d.second) : Padded(d.second, 2); i += std::min<size_t>(n, 2); break;
      default: out += f[i++]; break;
    }
  }
  return out;
}

// One element of a number picture: a digit code or literal text.
struct Picture {
  int int_zeros = 0, int_digits = 0;  // digit codes before the point (zeros are '0')
  int frac_zeros = 0, frac_digits = 0;
  bool thousands = false, percent = false, has_point = false;
  std::string prefix, suffix;  // literal text around the digits
};

Picture ParsePicture(const std::string& f) {
  Picture p;
  bool seen_digit = false, done_digits = false;
  for (size_t i = 0; i < f.size(); ++i) {
    char c = f[i];
    std::string literal;
    if (c == '\\' && i + 1 < f.size()) {
      literal = f.substr(++i, 1);
    } else if (c == '"') {
      size_t end = f.find('"', i + 1);
      if (end == std::string::npos) end = f.size();
      literal = f.substr(i + 1, end - i - 1);
      i = end;
    } else if ((c == '0' || c == '#') && !done_digits) {
      seen_digit = true;
      if (p.has_point) {
        ++p.frac_digits;
        if (c == '0') p.frac_zeros = p.frac_digits;
      } else {
        ++p.int_digits;
        if (c == '0') ++p.int_zeros;
      }
      continue;
    } else if (c == '.' && !done_digits && !p.has_point) {
      p.has_point = true;
      seen_digit = true;
      continue;
    } else if (c == ',' && seen_digit && !done_digits) {
      p.thousands = true;
      continue;
    } else if (c == '%') {
      p.percent = true;
      literal = "%";
    } else {
      literal = std::string(1, c);
    }
    if (seen_digit) done_digits = true;
    (seen_digit ? p.suffix : p.prefix) += literal;
  }
  return p;
}

std::string FormatNumber(double v, const std::string& f) {
  Picture p = ParsePicture(f);
  if (p.percent) v *= 100;
  bool negative = v < 0;
  double scale = std::pow(10.0, p.frac_digits);
  double rounded = std::floor(std::fabs(v) * scale + 0.5 + 1e-9);
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.0f", rounded);
  std::string all = buf;
  if (static_cast<int>(all.size()) <= p.frac_digits) all.insert(0, p.frac_digits + 1 - all.size(), '0');
  std::string whole = all.substr(0, all.size() - p.frac_digits);
  std::string frac = all.substr(all.size() - p.frac_digits);
  while (static_cast<int>(frac.size()) > p.frac_zeros && !frac.empty() && frac.back() == '0') frac.pop_back();
  if (whole == "0") whole = "";
  if (static_cast<int>(whole.size()) < p.int_zeros) whole.insert(0, p.int_zeros - whole.size(), '0');
  if (p.thousands) {
    for (int k = static_cast<int>(whole.size()) - 3; k > 0; k -= 3) whole.insert(static_cast<size_t>(k), ",");
  }
  std::string digits = whole;
  if (p.has_point && !frac.empty()) digits += "." + frac;
  else if (p.has_point && p.frac_digits == 0 && p.int_digits == 0) digits += ".";
  bool is_zero = rounded == 0;
  return (negative && !is_zero ? "-" : "") + p.prefix + digits + p.suffix;
}

}  // namespace

std::string Format(const Variant& value, const std::string& picture) {
  if (value.IsNull()) return "";
  if (picture.empty()) return value.ToString();
  if (value.type() == Variant::Type::Date) return FormatDate(value.ToDate(), picture);
  try {
    if (value.IsNumeric() || value.type() == Variant::Type::String) {
      double d = value.ToDouble();
      if (picture.find_first_of("0#") != std::string::npos) return FormatNumber(d, picture);
    }
  } catch (const Error&) {
    // not a number: try it as a date below
  }
  try {
    if (value.type() == Variant::Type::String) return FormatDate(value.ToDate(), picture);
  } catch (const Error&) {
  }
  return value.ToString();
}

}  // namespace trovel

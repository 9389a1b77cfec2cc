#include "json_value.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>

namespace varrow::testing {

class JsonParser {
 public:
  explicit JsonParser(std::string_view text) : text_(text) {}

  std::optional<JsonValue> Document(std::string* error) {
    JsonValue v;
    const bool ok = Value(v, 0) && (Space(), at_ == text_.size());
    if (!ok) {
      if (error) *error = "invalid JSON at byte " + std::to_string(at_);
      return std::nullopt;
    }
    return v;
  }

 private:
  void Space() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\n' || text_[at_] == '\r' || text_[at_] == '\t')) {
      ++at_;
    }
  }
  bool Eat(char c) {
    Space();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool Word(std::string_view w) {
    if (text_.substr(at_, w.size()) != w) return false;
    at_ += w.size();
    return true;
  }

  bool Value(JsonValue& v, int depth) {
    if (depth > 64) return false;
    Space();
    if (at_ >= text_.size()) return false;
    const char c = text_[at_];
    if (c == '{') return ObjectValue(v, depth);
    if (c == '[') return ArrayValue(v, depth);
    if (c == '"') {
      std::string s;
      if (!StringValue(s)) return false;
      v.value_ = std::move(s);
      return true;
    }
    if (Word("true")) return v.value_ = true, true;
    if (Word("false")) return v.value_ = false, true;
    if (Word("null")) return v.value_ = std::monostate{}, true;
    return NumberValue(v);
  }

  bool ObjectValue(JsonValue& v, int depth) {
    ++at_;
    JsonValue::Object members;
    if (!Eat('}')) {
      do {
        Space();
        std::string key;
        if (!StringValue(key) || !Eat(':')) return false;
        JsonValue member;
        if (!Value(member, depth + 1)) return false;
        if (!members.emplace(std::move(key), std::move(member)).second) return false;
      } while (Eat(','));
      if (!Eat('}')) return false;
    }
    v.value_ = std::move(members);
    return true;
  }

  bool ArrayValue(JsonValue& v, int depth) {
    ++at_;
    JsonValue::Array items;
    if (!Eat(']')) {
      do {
        JsonValue item;
        if (!Value(item, depth + 1)) return false;
        items.push_back(std::move(item));
      } while (Eat(','));
      if (!Eat(']')) return false;
    }
    v.value_ = std::move(items);
    return true;
  }

  static void AppendUtf8(std::string& out, unsigned code) {
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | code >> 6);
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | code >> 12);
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
  }

  bool StringValue(std::string& out) {
    if (at_ >= text_.size() || text_[at_] != '"') return false;
    ++at_;
    while (at_ < text_.size()) {
      const auto c = static_cast<unsigned char>(text_[at_++]);
      if (c == '"') return true;
      if (c < 0x20) return false;  // control characters must be escaped
      if (c != '\\') {
        out += static_cast<char>(c);
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char e = text_[at_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'u': {
          unsigned code = 0;
          if (at_ + 4 > text_.size()) return false;
          const auto r = std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16);
          if (r.ptr != text_.data() + at_ + 4) return false;
          at_ += 4;
          AppendUtf8(out, code);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  bool NumberValue(JsonValue& v) {
    const std::size_t start = at_;
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    auto digits = [&] {
      const std::size_t from = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      return at_ > from;
    };
    if (!digits()) return false;
    if (at_ < text_.size() && text_[at_] == '.') {
      ++at_;
      if (!digits()) return false;
    }
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      if (!digits()) return false;
    }
    double d = 0;
    const auto r = std::from_chars(text_.data() + start, text_.data() + at_, d);
    if (r.ptr != text_.data() + at_) return false;
    v.value_ = d;
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

std::optional<JsonValue> JsonValue::Parse(std::string_view text, std::string* error) {
  return JsonParser(text).Document(error);
}

namespace {
const JsonValue& NullValue() {
  static const JsonValue null;
  return null;
}
}  // namespace

double JsonValue::Number() const {
  if (const auto* d = std::get_if<double>(&value_)) return *d;
  ADD_FAILURE() << "not a number";
  return 0;
}

long long JsonValue::Int() const {
  const double d = Number();
  EXPECT_EQ(d, std::floor(d)) << "not a whole number";
  return static_cast<long long>(d);
}

bool JsonValue::Bool() const {
  if (const auto* b = std::get_if<bool>(&value_)) return *b;
  ADD_FAILURE() << "not a truth value";
  return false;
}

const std::string& JsonValue::String() const {
  if (const auto* s = std::get_if<std::string>(&value_)) return *s;
  ADD_FAILURE() << "not a string";
  static const std::string empty;
  return empty;
}

const JsonValue::Array& JsonValue::Items() const {
  if (const auto* a = std::get_if<Array>(&value_)) return *a;
  ADD_FAILURE() << "not an array";
  static const Array empty;
  return empty;
}

const JsonValue::Object& JsonValue::Members() const {
  if (const auto* o = std::get_if<Object>(&value_)) return *o;
  ADD_FAILURE() << "not an object";
  static const Object empty;
  return empty;
}

bool JsonValue::Has(const std::string& key) const {
  const auto* o = std::get_if<Object>(&value_);
  return o != nullptr && o->count(key) > 0;
}

const JsonValue& JsonValue::operator[](const std::string& key) const {
  const Object& o = Members();
  const auto it = o.find(key);
  if (it == o.end()) {
    ADD_FAILURE() << "no member \"" << key << "\"";
    return NullValue();
  }
  return it->second;
}

const JsonValue& JsonValue::operator[](std::size_t index) const {
  const Array& a = Items();
  if (index >= a.size()) {
    ADD_FAILURE() << "no item " << index;
    return NullValue();
  }
  return a[index];
}

}  // namespace varrow::testing

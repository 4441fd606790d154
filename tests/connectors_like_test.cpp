// SqliteConnection: LIKE blind to letter case in every script, and the
// Spanish collation "es".
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "connectors/SqliteConnection.h"
#include "platform/Error.h"

namespace trovel {
namespace {

// A text as an SQL expression that carries its bytes exactly, valid UTF-8 or not.
std::string Literal(const std::optional<std::string>& text) {
  if (!text) return "null";
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : *text) hex += {kDigits[c >> 4], kDigits[c & 15]};
  return "cast(x'" + hex + "' as text)";
}

class LikeTest : public ::testing::Test {
 protected:
  // What `text LIKE pattern [ESCAPE escape]` gives: "1", "0", "NULL" or the failure's text.
  std::string Like(const std::optional<std::string>& text, const std::optional<std::string>& pattern,
                   const std::optional<std::string>& escape = std::nullopt) {
    std::string sql = "select " + Literal(text) + " like " + Literal(pattern);
    if (escape) sql += " escape " + Literal(escape);
    return Value(sql + " as r");
  }

  std::string Value(std::string sql) {
    try {
      bool flag = false;
      const Variant r = db.OpenCursor(sql, flag)->Fields().Item("r");
      return r.IsNull() ? "NULL" : r.ToString();
    } catch (const Error& e) {
      return e.description();
    }
  }

  std::vector<std::string> Column(std::string sql) {
    bool flag = false;
    std::vector<std::string> out;
    for (auto c = db.OpenCursor(sql, flag); !c->AtEnd(); c->MoveNext()) {
      const Variant v = c->Fields().Item("nombre");
      out.push_back(v.IsNull() ? "NULL" : v.ToString());
    }
    return out;
  }

  SqliteConnection db{":memory:"};
};

TEST_F(LikeTest, LettersMatchWhateverTheirCaseAndNothingElse) {
  struct Case {
    std::string text, pattern, expected;
  };
  const Case cases[] = {
      // What a filter box sends for "ana garcía%".
      {"Ana García", "ANA GARCÍA%", "1"},
      {"áéíóúüñç", "ÁÉÍÓÚÜÑÇ", "1"},
      {"ÁÉÍÓÚÜÑÇ", "áéíóúüñç", "1"},
      {"çà âêîôû ëïÿ œæ", "ÇÀ ÂÊÎÔÛ ËÏŸ ŒÆ", "1"},
      {"σοφία οδός", "ΣΟΦΊΑ ΟΔΌΣ", "1"},  // final sigma too
      {"ёжик ǎ ա", "ЁЖИК Ǎ Ա", "1"},
      // Whatever the boxes upper-case a letter to finds it: "ı" becomes "I".
      {"Kırıkkale", "KIRIKKALE", "1"},
      // One character to one: "ß" is not "SS", but its capital is itself.
      {"straße", "STRASSE", "0"},
      {"straße", "STRAẞE", "1"},
      // Accents and other marks are significant.
      {"García", "GARCIA", "0"},
      {"Garcia", "GARCÍA", "0"},
      {"Ñandú", "N%", "0"},
      {"Müller", "MULLER", "0"},
      {"ç", "C", "0"},
      // "%" any run, "_" one character (of any length in bytes).
      {"", "%", "1"},
      {"", "", "1"},
      {"a", "", "0"},
      {"", "_", "0"},
      {"ñ", "_", "1"},
      {"ñ", "__", "0"},
      {"García", "G_RC_A", "1"},
      {"García", "%ÍA", "1"},
      {"banana", "%A%A%", "1"},
      {"banana", "%A%A%A%A", "0"},
      {"aab", "%AB", "1"},
      {"aXbYc", "A%B%C", "1"},
      {"aXbYcZ", "A%B%C", "0"},
      {"x", "%%%", "1"},
      // After a "%" the text is skimmed eight bytes at a time for what can
      // start the rest: letters beyond ASCII whose key is ASCII stop it too.
      {"Castaño y Núñez García", "%GARCÍA", "1"},
      {"aaaaaaaaaaaaaaaaaaaaaaab", "%A%A%A%B", "1"},
      {"Castaño y Núñez García", "%GARCIA", "0"},
      {"xxxxxxxxxxxxxxxxx\u212A", "%K", "1"},  // the Kelvin sign
      {"ñññññññññññſ", "%S", "1"},
      {"óóóóóóóóóóóóı", "%i", "1"},
      {"xxxxxxxxxx\xC3" "a", "%A", "1"},  // a byte of its own, then "a"
      {"\xC3\xC3\xC3\xC3\xC3\xC3\xC3\xC3\xC3zz", "%Z_", "1"},
      // A byte that is not UTF-8 is one character and equals only itself.
      {"a\xC3", "A\xC3", "1"},
      {"a\xC3", "A_", "1"},
      {"a\xC3", "A\xC4", "0"},
      {"\xFF" "abc", "\xFF%", "1"},
      {"\xC3\x83", "\xC3", "0"},   // "Ã" is not its first byte
      {"á", "\xE1", "0"},          // nor is U+00E1 the byte E1
      {"\xE1", "\xC1", "0"},       // bytes are never upper-cased
      {"\xED\xA0\x80", "___", "1"},  // an encoded surrogate is three bytes
      {"\xE2\x82", "%\x82", "1"},
  };
  for (const Case& c : cases) EXPECT_EQ(Like(c.text, c.pattern), c.expected) << c.text << " like " << c.pattern;
}

TEST_F(LikeTest, EscapeNullsAndBadArguments) {
  struct Case {
    std::optional<std::string> text, pattern, escape;
    std::string expected;
  };
  const std::string kFailed = "La base de datos no pudo ejecutar la consulta: ";
  const Case cases[] = {
      {"100%", "100\\%", "\\", "1"},
      {"1000", "100\\%", "\\", "0"},
      {"abc", "A\\_C", "\\", "0"},
      {"a_c", "A\\_C", "\\", "1"},
      {"ñ", "\\Ñ", "\\", "1"},    // an escaped letter is still case-blind
      {"a", "A\\", "\\", "0"},     // a lone escape at the end matches nothing
      {"a%", "A%%", "%", "1"},     // the escape wins over the wildcard
      {"ab", "A%%", "%", "0"},
      {"a", "A%", "%", "0"},
      {"x%", "XÑ%", "Ñ", "1"},     // an escape of two bytes
      {"xy", "XÑ%", "Ñ", "0"},
      {"a\xC3", "A\xC3%", "\xC3", "0"},  // an invalid byte escapes too
      {"a%", "A\xC3%", "\xC3", "1"},
      {std::nullopt, "A%", std::nullopt, "NULL"},
      {"a", std::nullopt, std::nullopt, "NULL"},
      {"a", "A", "", kFailed + "ESCAPE expression must be a single character"},
      {"a", "A", "ab", kFailed + "ESCAPE expression must be a single character"},
      {"a", std::string(50001, '%'), std::nullopt, kFailed + "LIKE or GLOB pattern too complex"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Like(c.text, c.pattern, c.escape), c.expected)
        << c.text.value_or("NULL") << " like " << c.pattern.value_or("NULL").substr(0, 20) << " escape "
        << c.escape.value_or("(none)");
  }
  // An escape that is NULL; NOT LIKE; the function called by name with the pattern first.
  EXPECT_EQ(Value("select 'a' like 'A' escape null as r"), "NULL");
  EXPECT_EQ(Value("select 'García' not like 'GARCÍA' as r"), "0");
  EXPECT_EQ(Value("select like('GARCÍA%', 'garcía pérez') as r"), "1");
}

TEST_F(LikeTest, SpanishCollationSortsNamesWhereAReaderLooksForThem) {
  db.Execute(
      "create table clientes (nombre text collate es);"
      "insert into clientes values ('Zoe'), ('Íñigo'), ('Óscar'), ('Nuria'), ('Ñandú'), ('ana'), ('Ana'),"
      " (null), ('Inés'), ('Élena'), ('Elena'), ('Ezequiel');");
  const std::vector<std::string> spanish = {"NULL",  "ana",   "Ana",    "Elena", "Élena", "Ezequiel",
                                            "Inés",  "Íñigo", "Nuria",  "Ñandú", "Óscar", "Zoe"};
  EXPECT_EQ(Column("select nombre from clientes order by nombre"), spanish);
  // A column without the collation can ask for it, and one indexed keeps it.
  db.Execute("create table plain (nombre text); insert into plain select nombre from clientes;"
             "create index clientes_nombre on clientes (nombre);");
  EXPECT_EQ(Column("select nombre from plain order by nombre collate es"), spanish);
  EXPECT_EQ(Column("select nombre from clientes where nombre > 'Ezequiel' and nombre < 'O'"),
            (std::vector<std::string>{"Inés", "Íñigo", "Nuria", "Ñandú"}));
  // Texts that read alike are still different values: case, and "é" composed
  // or as "e" with a combining accent. Invalid UTF-8 sorts without harm.
  EXPECT_EQ(Value("select 'ana' = 'Ana' collate es as r"), "0");
  EXPECT_EQ(Value("select count(distinct x) as r from (select cast(x'C3A9' as text) collate es as x union all "
                  "select cast(x'65CC81' as text))"),
            "2");
  db.Execute("insert into clientes values (cast(x'FF' as text)), (cast(x'C3' as text)), (cast(x'41C3' as text));");
  EXPECT_EQ(Column("select nombre from clientes order by nombre").size(), spanish.size() + 3);
}

}  // namespace
}  // namespace trovel

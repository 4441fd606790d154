#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/ComboBox.h"
#include "platform/CommandButton.h"
#include "platform/Error.h"
#include "platform/HeadlessHost.h"
#include "platform/JsonFilePropertyBag.h"
#include "platform/Label.h"
#include "platform/Text.h"
#include "platform/TextBox.h"

namespace trovel {
namespace {

// A form of three boxes, a label and a button in tab order; each focus event is logged.
struct Form {
  Form() {
    int tab = 0;
    for (Widget* w : std::vector<Widget*>{&a, &label, &b, &c, &button}) {
      w->SetTabIndex(tab++);
      host.RegisterWidget(this, w);
      w->onGotFocus = [this, w] { log.push_back("got " + w->Name()); };
      w->onLostFocus = [this, w] { log.push_back("lost " + w->Name()); };
      w->onValidate = [this, w] { log.push_back("validate " + w->Name()); };
    }
  }
  HeadlessHost host;  // first: it outlives the widgets registered with it
  TextBox a{"a"}, b{"b"}, c{"c"};
  Label label{"label"};
  CommandButton button{"button"};
  std::vector<std::string> log;
};

TEST(HeadlessHostTest, FocusRunsValidateAndLostBeforeGotTabSkipsWhatCannotTakeIt) {
  Form f;
  f.host.SetFocus(&f.a);
  f.host.SetFocus(&f.b);
  EXPECT_EQ(f.log, (std::vector<std::string>{"got a", "validate a", "lost a", "got b"}));
  f.host.SetFocus(&f.a);
  f.host.SendTab();
  EXPECT_EQ(f.host.FocusedWidget(), &f.b);  // the label is skipped
  // Hidden and disabled widgets and labels refuse the focus, which stays where it was; Tab passes them by.
  f.c.SetVisible(false);
  EXPECT_THROW(f.host.SetFocus(&f.c), Error);
  EXPECT_THROW(f.host.SetFocus(&f.label), Error);
  f.host.SendTab();
  EXPECT_EQ(f.host.FocusedWidget(), &f.button);
  f.host.SetFocus(&f.b);
  f.button.SetEnabled(false);
  EXPECT_THROW(f.host.SetFocus(&f.button), Error);
  EXPECT_EQ(f.host.FocusedWidget(), &f.b);
  f.host.SendTab();
  EXPECT_EQ(f.host.FocusedWidget(), &f.a);  // wraps past the end

  f.host.SetInnerSize(&f, 5280, 4905);
  EXPECT_EQ(f.host.ScaleWidth(&f), 5280);
  EXPECT_EQ(f.host.ScaleHeight(&f), 4905);
  EXPECT_THROW(f.host.SetInnerSize(&f, -1, 10), Error);
  EXPECT_EQ(f.host.ScaleWidth(&f), 5280);
}

TEST(HeadlessHostTest, RecordsMessagesAndEventsAndRunsOnlyThePostedEventsAlreadyWaiting) {
  HeadlessHost host;
  host.SetMsgBoxReply(Host::kCancel);
  EXPECT_EQ(host.MsgBox("hola", Host::kCritical, "Mensaje"), Host::kCancel);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].title, "Mensaje");
  EXPECT_EQ(host.messages[0].style, 16);
  Variant code("A1");
  host.onEvent = [](const std::string&, const std::vector<Variant*>& args) { *args[0] = "changed"; };
  host.RaiseEvent(nullptr, "evtSeleccionar", {&code});
  EXPECT_EQ(code, Variant("changed"));
  EXPECT_EQ(host.events[0].args[0], "changed");
  int runs = 0;
  host.Post([&] { ++runs; host.Post([&] { ++runs; }); });
  host.DoEvents();
  EXPECT_EQ(runs, 1);
}

TEST(WidgetTest, ButtonValuePressesInsideTheCallAndComboChooses) {
  CommandButton button("cmdLeer");
  int clicks = 0;
  button.onClick = [&] { ++clicks; };
  button.SetValue(true);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(button.Value());
  button.SetEnabled(false);
  button.Click();
  EXPECT_EQ(clicks, 1);

  ComboBox list("cmb");
  int chosen = 0;
  list.onClick = [&] { ++chosen; };
  for (const char* e : {"TEX", "NUM", "FEC"}) list.AddItem(e);
  list.SetListIndex(2);
  EXPECT_EQ(list.Text(), "FEC");
  EXPECT_THROW(list.SetListIndex(3), Error);
  EXPECT_EQ(chosen, 1);
  list.Clear();
  EXPECT_EQ(list.Text(), "");
}

TEST(WidgetTest, TypingFollowsTheCaretInCharactersUpToMaxLength) {
  HeadlessHost host;
  TextBox box("txtNombre");
  box.SetText("Núñez");
  int changes = 0;
  box.onChange = [&] { ++changes; };
  box.SetSelStart(2);  // after "Nú"
  host.TypeKey(box, 'X');
  EXPECT_EQ(box.Text(), "NúXñez");
  EXPECT_EQ(box.SelStart(), 3);
  for (int i = 0; i < 2; ++i) host.TypeKey(box, 8);
  EXPECT_EQ(box.Text(), "Nñez");
  box.SetSelStart(1000);  // clamped: the caret goes to the end
  EXPECT_EQ(box.SelStart(), 4);
  host.TypeKey(box, 13);  // control codes do not edit
  EXPECT_EQ(box.Text(), "Nñez");
  EXPECT_EQ(changes, 3);
  box.SetText("Nñez");  // the same text fires no change
  EXPECT_EQ(changes, 3);
  // A key press handler may swallow a key; nothing is typed beyond MaxLength.
  box.SetText("");
  box.SetMaxLength(3);
  box.onKeyPress = [](int16_t& k) { if (k == 'x') k = 0; };
  for (int16_t k : {int16_t{'a'}, int16_t{'x'}, int16_t{0xE1}, int16_t{'b'}, int16_t{'c'}}) host.TypeKey(box, k);
  EXPECT_EQ(box.Text(), "aáb");
  host.TypeKey(box, 8);
  EXPECT_EQ(box.Text(), "aá");
  EXPECT_THROW(box.SetMaxLength(-1), Error);
}

// A selection is replaced by what is typed over it and erased by Backspace;
// a control code leaves it; MaxLength counts what stays once it is gone.
TEST(WidgetTest, TypingOverASelectionReplacesIt) {
  HeadlessHost host;
  TextBox box("txtNombre");
  box.SetText("Núñez");
  box.SetSelStart(1);
  box.SetSelLength(2);
  EXPECT_EQ(box.SelText(), "úñ");
  host.TypeKey(box, 13);
  EXPECT_EQ(box.SelText(), "úñ");
  host.TypeKey(box, 'a');
  EXPECT_EQ(box.Text(), "Naez");
  EXPECT_EQ(std::make_pair(box.SelStart(), box.SelLength()), std::make_pair(2, 0));
  box.SetSelStart(0);
  box.SetSelLength(100);  // clamped at the end
  EXPECT_EQ(box.SelLength(), 4);
  host.TypeKey(box, 8);
  EXPECT_EQ(box.Text(), "");
  box.SetMaxLength(3);
  box.SetText("abc");
  box.SetSelStart(1);
  box.SetSelLength(1);
  box.SetSelText("XYZ");  // one character's room: X goes in
  EXPECT_EQ(box.Text(), "aXc");
  EXPECT_EQ(box.SelStart(), 2);
  EXPECT_THROW(box.SetSelLength(-1), Error);
  box.SetSelLength(1);
  box.SetText("zz");  // a new text leaves no selection
  EXPECT_EQ(box.SelLength(), 0);
}

// A character is typed whole or not at all, never as another one: from
// U+8000 on it comes as a negative key code; beyond U+FFFF it has no key code
// and the box's wide-character handler, or the lack of a key filter, decides.
TEST(WidgetTest, EveryCharacterIsTypedWholeOrNotAtAll) {
  HeadlessHost host;
  const auto no_filter = [](TextBox&) {};
  const auto key_filter = [](TextBox& b) { b.onKeyPress = [](int16_t&) {}; };
  struct Case {
    const char* what;
    std::function<void(TextBox&)> setup;
    std::u32string typed;
    const char* text;
  };
  const Case cases[] = {
      {"no handlers", no_filter, U"a\U00010027b\u9AD8", "a𐀧b高"},
      {"a key filter cannot judge it", key_filter, U"a\U00010027\u9AD8", "a高"},
      {"the wide handler decides",
       [](TextBox& b) {
         b.onKeyPress = [](int16_t&) {};
         b.onWideCharacter = [](int32_t& c) { c = c == 0x1F600 ? 0 : c + 1; };
       },
       U"\U00010027\U0001F600", "𐀨"},
      {"MaxLength counts it as one", [](TextBox& b) { b.SetMaxLength(2); }, U"\U0001F600\U0001F600\U0001F600",
       "😀😀"},
  };
  for (const auto& c : cases) {
    TextBox box("txt");
    c.setup(box);
    for (char32_t k : c.typed) host.TypeCharacter(box, k);
    EXPECT_EQ(box.Text(), c.text) << c.what;
    EXPECT_EQ(box.SelStart(), box.Length()) << c.what;
  }
  // Backspace erases a whole character. Between bytes that are not UTF-8 it
  // may join them into one, which the count then follows.
  TextBox box("txt");
  const std::tuple<const char*, int, const char*, int> erased[] = {
      {"a😀b", 2, "ab", 1}, {"\xE2X\x82\xAC", 2, "€", 1}, {"\xE2\x82", 1, "\x82", 0}};
  for (const auto& [before, caret, after, caret_after] : erased) {
    box.SetText(before);
    box.SetSelStart(caret);
    host.TypeKey(box, 8);
    EXPECT_EQ(std::make_tuple(box.Text(), box.Length(), box.SelStart()),
              std::make_tuple(std::string(after), static_cast<int>(Text::Length(after)), caret_after));
  }
  host.TypeCharacter(box, 0x10027);
  EXPECT_EQ(box.Text(), "𐀧\x82");
  // What is no character is refused; a widget that is no text box ignores a wide one.
  EXPECT_THROW(host.TypeCharacter(box, 0xD800), Error);
  EXPECT_THROW(host.TypeCharacter(box, 0x110000), Error);
  EXPECT_THROW(box.TypeWideCharacter(0x41), Error);
  EXPECT_EQ(box.Text(), "𐀧\x82");
  CommandButton button("cmd");
  host.TypeCharacter(button, 0x1F600);
}

TEST(PropertyBagTest, FileRoundTripKeepsTypes) {
  auto path = (std::filesystem::temp_directory_path() / "trovel_bag_test.json").string();
  const std::pair<const char*, Variant> kept[] = {
      {"SentenciaSQL", Variant("select * from clientes")}, {"NumCol", Variant(int32_t{3})}, {"Width1", Variant(990.25f)},
      {"Importe", Variant(*Decimal::Parse("-12345678901234567.89"))}};
  {
    JsonFilePropertyBag bag;
    for (const auto& [name, value] : kept) bag.WriteProperty(name, value);
    bag.WriteProperty("UcaseFiltro", Variant(false), Variant(true));
    bag.WriteProperty("Skipped", Variant(true), Variant(true));
    bag.Save(path);
  }
  JsonFilePropertyBag again;
  again.Load(path);
  for (const auto& [name, value] : kept) EXPECT_EQ(again.ReadProperty(name, Variant()), value) << name;
  EXPECT_EQ(again.ReadProperty("UcaseFiltro", Variant(true)), Variant(false));
  EXPECT_EQ(again.ReadProperty("Skipped", Variant("default")), Variant("default"));
  EXPECT_EQ(again.reads.size(), 6u);

  std::ofstream(path) << "{ not json";
  EXPECT_THROW(again.Load(path), Error);
  std::ofstream(path) << R"({"NumCol": 1e99999})";  // past a double: the library's own out_of_range
  EXPECT_THROW(again.Load(path), Error);
  std::ofstream(path) << R"({"NumCol": {"type": "Long", "value": "x"}})";
  EXPECT_THROW(again.Load(path), Error);
  std::filesystem::remove(path);
  EXPECT_THROW(again.Load(path), Error);
}

TEST(PropertyBagTest, NumbersThatDoNotFitTheirTypeAreRefusedNamingTheKey) {
  struct Case {
    const char* value;
    const char* says;
  } refused[] = {
      {"4294967298", "no cabe en un Long"},  // would wrap to 2
      {"-2147483649", "no cabe en un Long"},
      {"18446744073709551615", "no cabe en un Long"},
      {R"({"type": "Long", "value": 1e20})", "no cabe en un Long"},
      {R"({"type": "Long", "value": 2.5})", "número entero"},
      {R"({"type": "Integer", "value": 32768})", "no cabe en un Integer"},
      {R"({"type": "Single", "value": 1e39})", "no cabe en un Single"},
      {R"({"type": "Double", "value": "1"})", "debe ser un número"},
      {R"({"type": "Date", "value": [2001, 2, 29, 0, 0, 0]})", "un día que existe"},
      {R"({"type": "Date", "value": [2001, 1, 1, 24, 0, 0]})", "un día que existe"},
      {R"({"type": "Date", "value": [2001, 1, 1]})", "un día que existe"},
      {R"({"type": "Decimal", "value": 12.5})", "hasta 28 cifras significativas"},  // a double's digits, not text
      {R"({"type": "Decimal", "value": "12345678901234567890123456789"})", "hasta 28 cifras significativas"},
      {R"({"type": "Decimal", "value": "1e5"})", "hasta 28 cifras significativas"},
  };
  for (const Case& c : refused) {
    try {
      JsonFilePropertyBag bag(nlohmann::json::parse(std::string(R"({"NumCol": )") + c.value + "}"));
      ADD_FAILURE() << c.value;
    } catch (const Error& e) {
      EXPECT_NE(e.description().find("la propiedad NumCol: "), std::string::npos) << e.description();
      EXPECT_NE(e.description().find(c.says), std::string::npos) << c.value << ": " << e.description();
    }
  }
  JsonFilePropertyBag bag(nlohmann::json::parse(
      R"({"a": 2147483647, "b": {"type": "Integer", "value": -32768}, "c": 1e300, "d": {"type": "Long", "value": 7.0},
          "e": {"type": "Date", "value": [2000, 2, 29, 23, 59, 59]}})"));
  EXPECT_EQ(bag.ReadProperty("a", Variant()), Variant(int32_t{2147483647}));
  EXPECT_EQ(bag.ReadProperty("b", Variant()), Variant(int16_t{-32768}));
  EXPECT_EQ(bag.ReadProperty("c", Variant()), Variant(1e300));
  EXPECT_EQ(bag.ReadProperty("d", Variant()), Variant(int32_t{7}));
  EXPECT_EQ(bag.ReadProperty("e", Variant()), Variant(DateTime{2000, 2, 29, 23, 59, 59}));
}

}  // namespace
}  // namespace trovel

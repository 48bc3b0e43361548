// The Execute menu and printing in the main window: what the grep tool, the
// user tools and the selection commands start (never through a shell), when
// they are enabled, and the printed pages.
#include <QAction>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

#include <sys/stat.h>

#include "app/display_text.h"
#include "form_fixture.h"

namespace yk::test {
namespace {

using Strings = std::vector<std::string>;

class ExternalToolsTest : public FormTest {
 protected:
  TMainForm& MakeWithTools(std::vector<std::string> arguments = {}) {
    env.start_program = [this](const std::string& program, const Strings& arguments) {
      Strings call{program};
      call.insert(call.end(), arguments.begin(), arguments.end());
      started.push_back(call);
      return start_works;
    };
    env.open_url = [this](const QUrl& url) {
      opened.push_back(url.toString().toStdString());
      return true;
    };
    return Make(std::move(arguments));
  }
  // Selects the first occurrence of text in the document.
  void Select(const std::string& text) {
    const std::string all = Doc().Lines().GetTextStr();
    const std::size_t at = all.find(text);
    ASSERT_NE(at, std::string::npos) << text;
    Doc().SetSelStart(static_cast<std::int64_t>(at));
    Doc().SetSelLength(static_cast<std::int64_t>(text.size()));
  }
  std::string Executable(const std::string& name) {
    const std::string path = File(name, "#!/bin/sh\n");
    ::chmod(path.c_str(), 0755);
    return path;
  }

  std::vector<Strings> started;
  Strings opened;
  bool start_works = true;
};

TEST_F(ExternalToolsTest, TracerGetsTheFolderPatternsAndSelectionAsPlainArguments) {
  // A folder with blanks and quotes, a selection with blanks, quotes and
  // what a shell would take as commands: each reaches the tool whole.
  std::filesystem::create_directory(dir.File("my \"docs\""));
  const std::string doc = File("my \"docs\"/a.c", "int main; \"a b\" /E x; rm -rf ~ $(reboot)\r\n");
  MakeWithTools({doc});
  const std::string tracer = Executable("tracer");
  form->Settings.tracerPath = tracer;
  form->Settings.tracerExt = "*.c *.h";
  Select("main");
  EXPECT_TRUE(form->RunCommand("Tracer1"));
  const std::string folder = dir.File("my \"docs\"/");
  Select("\"a b\" /E x; rm -rf ~ $(reboot)");
  form->RunCommand("Tracer1");
  Doc().SetSelStart(0);
  form->Settings.tracerExt = "";
  form->RunCommand("Tracer1");
  EXPECT_EQ(started, (std::vector<Strings>{
                         {tracer, "/P", folder, "/E", "*.c", "*.h", "/K", "main"},
                         {tracer, "/P", folder, "/E", "*.c", "*.h", "/K", "\"a b\" /E x; rm -rf ~ $(reboot)"},
                         {tracer, "/P", folder, "/E", "*.*"},
                     }));
  // No tool at the path: nothing starts.
  started.clear();
  form->Settings.tracerPath = dir.File("missing");
  form->RunCommand("Tracer1");
  EXPECT_TRUE(started.empty());
}

TEST_F(ExternalToolsTest, TheSelectionAsAFileOpensExistingFilesNamedFromTheDocumentsFolder) {
  std::filesystem::create_directories(dir.File("doc/sub"));
  const std::string b = File("doc/sub/b.txt", "b");
  const std::string notes = File("notes.txt", "n");
  const std::string doc = File("doc/a.txt", "sub/b.txt\r\n../notes.txt\r\n" + b + "\r\n../none.txt\r\n");
  MakeWithTools({doc});
  for (const std::string& name : {std::string("sub/b.txt"), std::string("../notes.txt")}) {
    Select(name);
    EXPECT_TRUE(form->RunCommand("ExecuteFile1"));
  }
  EXPECT_EQ(launched, (std::vector<Strings>{{b}, {notes}}));
  // An absolute name, or one that names no file: nothing.
  for (const std::string& other : {b, std::string("../none.txt")}) {
    Select(other);
    form->RunCommand("ExecuteFile1");
  }
  EXPECT_EQ(launched.size(), 2u);
}

TEST_F(ExternalToolsTest, TheSelectionOpensAsAUrlMailAddressOrFile) {
  std::filesystem::create_directory(dir.File("sub"));
  const std::string b = File("sub/b.txt", "b");
  MakeWithTools({File("a.txt", "https://example.com/a?q=1\r\nuser@example.com\r\nsub/b.txt\r\n")});
  for (const std::string text : {"https://example.com/a?q=1", "user@example.com", "sub/b.txt"}) {
    Select(text);
    EXPECT_TRUE(form->RunCommand("Execute1"));
  }
  EXPECT_EQ(opened, (Strings{"https://example.com/a?q=1", "mailto:user@example.com", "file://" + b}));
  EXPECT_TRUE(started.empty());
}

TEST_F(ExternalToolsTest, AnyOtherWordIsAProgramOnThePathNeverAWebAddress) {
  std::filesystem::create_directory(dir.File("bin"));
  const std::string tool = Executable("bin/yk-test-tool");
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QByteArray::fromStdString(dir.File("bin")) + ":" + path);
  MakeWithTools({File("a.txt", "yk-test-tool\r\nmain\r\nstd::string\r\nno/such/tool\r\nwww.example.com\r\n")});
  struct {
    const char* selection;
    Strings started, opened;
    const char* error;  // the start of the message, or nullptr for none
  } const cases[] = {
      {"yk-test-tool", {tool}, {}, nullptr},
      {"main", {}, {}, "main を起動できませんでした。"},
      {"std::string", {}, {}, "std::string を起動できませんでした。"},  // no scheme
      {"no/such/tool", {}, {}, "no/such/tool が見つかりません。"},       // not looked for on PATH
      {"www.example.com", {}, {"http://www.example.com"}, nullptr},
  };
  for (const auto& c : cases) {
    Select(c.selection);
    started.clear();
    opened.clear();
    if (c.error) prompts.Expect(TKind::Error);
    form->RunCommand("Execute1");
    EXPECT_TRUE(prompts.Done()) << c.selection;
    EXPECT_EQ(started, c.started.empty() ? std::vector<Strings>{} : std::vector<Strings>{c.started}) << c.selection;
    EXPECT_EQ(opened, c.opened) << c.selection;
    if (c.error && !prompts.Asked().empty()) {
      EXPECT_TRUE(prompts.Last().text.startsWith(QString::fromUtf8(c.error))) << c.selection;
    }
  }
  qputenv("PATH", path);
}

TEST_F(ExternalToolsTest, SelectionCommandsNeedASelectionAndPrintingASavedDocument) {
  MakeWithTools();
  Doc().InsertText("word");
  Doc().SetSelStart(0);
  form->RunMenuHooks(TMenu::File);
  EXPECT_FALSE(form->Action("MemoPrint1")->isEnabled());  // untitled and modified
  EXPECT_FALSE(form->RunCommand("Execute1"));
  EXPECT_FALSE(form->RunCommand("ExecuteFile1"));
  Select("word");
  form->RunMenuHooks(TMenu::Popup);
  EXPECT_TRUE(form->Action("Execute1")->isEnabled());
  EXPECT_TRUE(form->Action("ExecuteFile1")->isEnabled());

  MakeWithTools({File("a.txt", "a")});
  form->RunMenuHooks(TMenu::File);
  EXPECT_TRUE(form->Action("MemoPrint1")->isEnabled());
  Doc().KeyChar('x');
  EXPECT_FALSE(form->RunCommand("MemoPrint1"));  // the key of a disabled item does nothing
  EXPECT_TRUE(prompts.Asked().empty());
}

TEST_F(ExternalToolsTest, ToolsWithANameAndAPathAreShownAndStartWithoutArguments) {
  MakeWithTools();
  const std::string calc = Executable("calc");
  form->Settings.toolNames = {"\x8c\x76\x8e\x5a", "\x96\xbc\x91\x4f", ""};  // 計算, 名前
  form->Settings.toolPaths = {calc, "", "/usr/bin/true"};
  form->UpdateToolMenu();
  EXPECT_TRUE(form->Action("ToolFile1")->isVisible());
  EXPECT_EQ(form->Action("ToolFile1")->text(), QString::fromUtf8("計算"));
  EXPECT_FALSE(form->Action("ToolFile2")->isVisible());  // a name without a path
  EXPECT_FALSE(form->Action("ToolFile3")->isVisible());  // a path without a name
  EXPECT_TRUE(form->RunCommand("ToolFile1"));
  form->RunTool(2);  // no path: nothing
  // A bare name is looked for on the search path; a document opens with
  // its program.
  form->Settings.toolPaths = {"sh", File("notes.txt", "n"), calc};
  form->RunTool(1);
  form->RunTool(2);
  const std::string sh = NativePath(QStandardPaths::findExecutable(QStringLiteral("sh")));
  EXPECT_EQ(started, (std::vector<Strings>{{calc}, {sh}}));
  EXPECT_EQ(opened, (Strings{"file://" + dir.File("notes.txt")}));
  // A program that cannot start is reported, not passed over in silence.
  start_works = false;
  prompts.Expect(TKind::Error);
  form->RunTool(3);
  EXPECT_TRUE(prompts.Last().text.contains(QString::fromStdString(calc)));
}

TEST_F(ExternalToolsTest, PrintingWritesTheRowsPageAfterPage) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "\x93\xfa\x96\x7b\x8c\xea line\r\n";  // 日本語
  const std::string pdf = dir.File("out.pdf");
  for (const auto& [rows, pages] : {std::pair{std::string("one\r\n"), 1}, std::pair{text, 2}}) {
    MakeWithTools({File("a.txt", rows)});
    prompts.Dialog([&](QDialog& dialog) {
      QPrinter* printer = static_cast<QPrintDialog&>(dialog).printer();
      printer->setOutputFormat(QPrinter::PdfFormat);
      printer->setOutputFileName(QString::fromStdString(pdf));
      return QDialog::Accepted;
    });
    EXPECT_TRUE(form->RunCommand("MemoPrint1"));
    const QByteArray out = QByteArray::fromStdString(Slurp(pdf));
    EXPECT_TRUE(out.startsWith("%PDF"));
    const qsizetype count = QString::fromLatin1(out).count(QRegularExpression(QStringLiteral("/Type\\s*/Page[^s]")));
    if (pages == 1) EXPECT_EQ(count, 1);
    else EXPECT_GE(count, pages);
  }
  // Cancelled: nothing printed.
  std::filesystem::remove(pdf);
  prompts.Dialog([](QDialog&) { return QDialog::Rejected; });
  form->RunCommand("MemoPrint1");
  EXPECT_FALSE(std::filesystem::exists(pdf));
}

}  // namespace
}  // namespace yk::test

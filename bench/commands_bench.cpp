// Speed of the main window's commands as the user runs them: Find next far
// into 100 MB and to the following match, replace-all of about 100,000
// occurrences in 10 MB through the replace dialog (with the undo of it), and
// upper case of a whole 10 MB selection.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <memory>

#include "docgen.h"
#include "qt_main.h"
#include "temp_dir.h"
#include "window_timing.h"

namespace {

// Fills the replace dialog with の and ノ, without confirmation, and
// presses "replace all"; every other question is cancelled.
class TReplacePrompts final : public yk::TPrompts {
 public:
  void Information(QWidget*, const QString&, const QString&) override { ++boxes; }
  void Error(QWidget*, const QString&, const QString&) override {}
  void Warning(QWidget*, const QString&, const QString&) override {}
  yk::TDialogAnswer Question(QWidget*, const QString&, const QString&, unsigned, std::optional<QPoint>) override {
    return yk::TDialogAnswer::Cancel;
  }
  std::optional<QString> OpenFileName(QWidget*, const QString&, const QString&, int, const QString&) override {
    return std::nullopt;
  }
  std::optional<QString> SaveFileName(QWidget*, const QString&, const QString&, int, const QString&) override {
    return std::nullopt;
  }
  int ExecDialog(QDialog& d) override {
    d.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setEditText(QStringLiteral("の"));
    d.findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setEditText(QStringLiteral("ノ"));
    d.findChild<QCheckBox*>(QStringLiteral("chkReplaceConfirm"))->setChecked(false);
    d.findChild<QPushButton*>(QStringLiteral("AllBtn"))->click();
    return d.result();
  }
  int boxes = 0;  // "not found" boxes
};

TReplacePrompts prompts;
const yk::test::TTempDir dir;

std::unique_ptr<yk::TMainForm> Window(const std::string& text) {
  yk::TMainFormEnv env;
  env.prompts = &prompts;
  env.settings_path = dir.File("Yomikaki.ini");
  auto form = std::make_unique<yk::TMainForm>(std::move(env));
  form->Memo1->Editor().Lines().SetTextStr(text);
  yk::bench::ShowUntilPainted(*form);
  return form;
}

void Settle() { QCoreApplication::processEvents(); }

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

const std::string kZebra = "zebra";  // a word the generator never writes

// 100 MB with two matches a few rows apart near the end.
std::unique_ptr<yk::TMainForm> far_form;  // freed before the application ends

yk::TMainForm& FarWindow() {
  std::unique_ptr<yk::TMainForm>& form = far_form;
  if (!form) {
    std::string doc = yk::bench::MakeDocument(100u << 20);
    const std::size_t at = doc.rfind("\r\n", doc.size() - 5000) + 2;
    doc.insert(doc.find("\r\n", doc.find("\r\n", doc.find("\r\n", at) + 2) + 2) + 2, kZebra);
    doc.insert(at, kZebra);
    form = Window(doc);
    form->SetFindValue(kZebra);
  }
  return *form;
}

void BM_WindowFindNextFar(benchmark::State& state) {
  yk::TMainForm& f = FarWindow();
  for (auto _ : state) {
    state.PauseTiming();
    f.Memo1->Editor().SetSelStart(0);
    Settle();
    state.ResumeTiming();
    f.RunCommand("FindNext1");
    Settle();
    if (f.Memo1->Editor().Row() < 1000) {
      state.SkipWithError("no match");
      break;
    }
  }
}

void BM_WindowFindNextFollowing(benchmark::State& state) {
  yk::TMainForm& f = FarWindow();
  yk::TEditor& ed = f.Memo1->Editor();
  ed.SetSelStart(0);
  f.RunCommand("FindNext1");
  const std::int64_t first = ed.SelStart();
  for (auto _ : state) {
    state.PauseTiming();
    ed.SetSelStart(first);
    ed.SetSelLength(static_cast<std::int64_t>(kZebra.size()));
    Settle();
    state.ResumeTiming();
    f.RunCommand("FindNext1");
    Settle();
    if (ed.SelStart() <= first) {
      state.SkipWithError("no following match");
      break;
    }
  }
}

void BM_WindowReplaceAll10MB(benchmark::State& state) {
  const std::string doc = yk::bench::ReplaceDocument();
  std::size_t count = 0;
  const std::string expected = yk::bench::PlainReplacement(doc, count);
  auto form = Window(doc);
  yk::TEditor& ed = form->Memo1->Editor();
  ed.SetUndoListMax(static_cast<int>(state.range(0)));
  double undoSeconds = 0;
  double undoStepMs = 0;
  std::size_t undoSteps = 0;
  for (auto _ : state) {
    state.PauseTiming();
    ed.Lines().SetTextStr(doc);
    ed.ScreenStrings().UndoObj().Clear();
    ed.SetSelStart(0);
    prompts.boxes = 0;
    Settle();
    state.ResumeTiming();
    form->RunCommand("Replace1");
    Settle();
    state.PauseTiming();
    if (ed.Lines().GetTextStr() != expected) {
      state.SkipWithError("differs from a plain replacement");
      break;
    }
    if (prompts.boxes != 1) {
      state.SkipWithError("not exactly one \"not found\" box");
      break;
    }
    undoSteps = ed.ScreenStrings().UndoObj().UndoCount();
    // A user's undo repaints each step; the rest is undone in one batch.
    auto t0 = std::chrono::steady_clock::now();
    int stepped = 0;
    for (; stepped < 100 && ed.CanUndo(); ++stepped) {
      form->RunCommand("Undo1");
      Settle();
    }
    undoStepMs = 1000 * Seconds(t0) / std::max(stepped, 1);
    t0 = std::chrono::steady_clock::now();
    ed.LinesBeginUpdate();
    while (ed.CanUndo()) ed.Undo();
    ed.LinesEndUpdate();
    Settle();
    undoSeconds = Seconds(t0);
    state.ResumeTiming();
  }
  state.counters["replaced"] = static_cast<double>(count);
  state.counters["undo_steps"] = static_cast<double>(undoSteps);
  state.counters["undo_step_ms"] = undoStepMs;
  state.counters["undo_rest_s"] = undoSeconds;
  form->Memo1->Editor().SetModified(false);
}

void BM_WindowUpperCase10MB(benchmark::State& state) {
  const std::string doc = yk::bench::MakeDocument(10u << 20);
  auto form = Window(doc);
  yk::TEditor& ed = form->Memo1->Editor();
  for (auto _ : state) {
    state.PauseTiming();
    ed.Lines().SetTextStr(doc);
    ed.SelectAll();
    Settle();
    state.ResumeTiming();
    form->RunCommand("Upper1");
    Settle();
  }
  if (ed.Lines().GetTextStr().find("the ") != std::string::npos) state.SkipWithError("not converted");
  ed.SetModified(false);
}

BENCHMARK(BM_WindowFindNextFar)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_WindowFindNextFollowing)->Unit(benchmark::kMillisecond)->Iterations(20);
// The default undo limit, and one that keeps every replacement.
BENCHMARK(BM_WindowReplaceAll10MB)->Arg(64)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_WindowUpperCase10MB)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  return yk::bench::RunWithQt(argc, argv, [] { far_form.reset(); });
}

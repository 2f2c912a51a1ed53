// BodyCheckBench: the save-mode body check of a 10,000-line outsourcing order
// against the dispatch order's check of the same size (its floor: a check
// that reads every line once and asks the database nothing), and the cost
// per line of that check and of adding lines at 2,000 and at 8,000 lines,
// which must stay flat.
//
//   build/…/BodyCheckBench      bodycheck-10k, bodycheck-flat, addline-flat
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "data/HostDatabase.h"
#include "data/SqliteConnection.h"
#include "fabrikon/RowsetEditor.h"
#include "fabrikon/clsVoucherCO.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"

namespace {

using namespace fabrikon;

// A schema-only database whose items use free item 1, as the demo's chairs do.
class ItemsDatabase {
 public:
  ItemsDatabase() : path_("fabrikon_bodycheckbench") {
    HostDatabase::Create(path_.Path(), /*bDemo*/ false, /*bForce*/ true);
    conn_ = SqliteConnection::Connect(HostDatabase::ConnectionStringFor(path_.Path()));
    std::string items = "BEGIN;";
    for (int i = 0; i < 50; ++i) {
      items += "INSERT INTO inventory (cinvcode, cinvname, bfree1) VALUES ('B" + std::to_string(i) + "', 'item', 1);";
    }
    conn_->ExecuteNative(items + "COMMIT;");
  }
  ConnectionPtr Conn() const { return conn_; }

 private:
  bench::TempPath path_;
  std::shared_ptr<SqliteConnection> conn_;
};

LoginInfoPtr BenchLogin() { return std::make_shared<EmbeddedLoginInfo>(DateTime{2024, 3, 11}, "Bench", "bench"); }

std::string Item(long line) { return "B" + std::to_string(line % 50); }

// A new voucher of `lines` valid lines, typed in as the host does.
std::shared_ptr<EmbeddedVoucherForm> OutsourcingForm(long lines) {
  auto form = std::make_shared<EmbeddedVoucherForm>();
  RowsetEditor head(form->HeadDOM());
  head.Clear();
  head.AddLine({{"id", "1"}, {"ccode", "W1"}, {"dplandate", "2024-03-29"}, {"cvenname", "V"}});
  RowsetEditor body(form->BodyDOM());
  body.Clear();
  for (long i = 0; i < lines; ++i) {
    body.AddLine({{"cinvcode", Item(i)}, {"fquantity", "10"}, {"imakecharge", "1"}, {"totalmoney", "10"},
                  {"dstartdate", "2024-03-13"}, {"denddate", "2024-03-29"}, {"cfree1", "黑"}});
  }
  return form;
}

std::shared_ptr<EmbeddedVoucherForm> DispatchForm(long lines) {
  auto form = std::make_shared<EmbeddedVoucherForm>();
  RowsetEditor head(form->HeadDOM());
  head.Clear();
  head.AddLine({{"moid", "1"}, {"mocode", "M1"}, {"dplandate", "2024-03-11"}});
  RowsetEditor body(form->BodyDOM());
  body.Clear();
  for (long i = 0; i < lines; ++i) {
    body.AddLine({{"cinvcode", Item(i)}, {"imqty", "10"}, {"opname", "op"}, {"cindex", "0010"}, {"wcname", "wc"},
                  {"batchnum", "5"}, {"timeunit", "h"}, {"num", "2"}, {"startdate", "2024-03-13"},
                  {"enddate", "2024-03-29"}, {"cfree1", "黑"}});
  }
  return form;
}

struct Checks {
  explicit Checks(long lines) : outsourcingForm(OutsourcingForm(lines)), dispatchForm(DispatchForm(lines)) {
    outsourcing.Init(BenchLogin(), db.Conn(), "om01");
    dispatch.Init(BenchLogin(), db.Conn(), "pp13");
  }
  void Outsourcing() { Expect(outsourcing.BodyCheck(outsourcingForm, 1, "", true), "outsourcing"); }
  void Dispatch() { Expect(dispatch.BodyCheck(dispatchForm, 1, "", true), "dispatch"); }
  static void Expect(const std::string& answer, const char* what) {
    if (!answer.empty()) std::fprintf(stderr, "%s check: %.200s\n", what, answer.c_str());
  }

  ItemsDatabase db;
  std::shared_ptr<EmbeddedVoucherForm> outsourcingForm, dispatchForm;
  clsVoucherCO outsourcing, dispatch;
};

// Milliseconds of processor time per line of `run` on `lines` lines (median of rounds).
double PerLine(int rounds, long lines, const std::function<void()>& run) {
  std::vector<double> times;
  for (int r = 0; r < rounds; ++r) times.push_back(bench::TimePerCall(1, run, {}));
  return bench::Median(times) / static_cast<double>(lines);
}

// The outsourcing check per line at 8,000 lines against 2,000 lines.
bench::Measured CheckFlatness(bench::Report& report, int rounds) {
  Checks small(2000), large(8000);
  const double early = PerLine(rounds, 2000, [&] { small.Outsourcing(); });
  const double late = PerLine(rounds, 8000, [&] { large.Outsourcing(); });
  char note[160];
  std::snprintf(note, sizeof note, "outsourcing check per line: %.2f us at 2,000 lines, %.2f us at 8,000 lines",
                early * 1000, late * 1000);
  report.Note(note);
  return bench::Measured{late, early};
}

// Adding lines one by one through a new editor each time, as the C API and
// the shell do: the cost per line from 0 to 2,000 against 6,000 to 8,000.
bench::Measured AddLineFlatness(bench::Report& report, int rounds) {
  std::vector<double> early, late;
  for (int r = 0; r < rounds; ++r) {
    DOMDocumentPtr body = RowsetEditor::EmptyDocument();
    auto add = [&](long count) {
      return bench::TimePerCall(
          1,
          [&] {
            for (long i = 0; i < count; ++i) {
              RowsetEditor editor(body);
              editor.SetLine(editor.AddLine({{"cinvcode", Item(i)}}), {{"fquantity", "1"}});
            }
          },
          {});
    };
    early.push_back(add(2000) / 2000);
    add(4000);
    late.push_back(add(2000) / 2000);
  }
  char note[160];
  std::snprintf(note, sizeof note, "adding a line: %.2f us at 2,000 lines, %.2f us at 8,000 lines",
                bench::Median(early) * 1000, bench::Median(late) * 1000);
  report.Note(note);
  return bench::Measured{bench::Median(late), bench::Median(early)};
}

}  // namespace

int main() {
  bench::Report report;
  {
    Checks checks(10000);
    const bench::Measured m = bench::Alternate(
        7, 1, [&] { checks.Outsourcing(); }, [&] { checks.Dispatch(); });
    char note[160];
    std::snprintf(note, sizeof note, "10,000 lines: outsourcing check %.1f ms, dispatch check %.1f ms", m.library,
                  m.floor);
    report.Note(note);
    report.Add("bodycheck-10k", m, 3);
  }
  report.Add("bodycheck-flat", CheckFlatness(report, 7), 1.5);
  report.Add("addline-flat", AddLineFlatness(report, 7), 1.5);
  return 0;
}

// ExampleSteps.h: what every C++ example shares. Each step prints one line,
// STEP => "ANSWER", and an answer other than the expected one stops the
// program with status 1 (RunExample prints why). Copy this file with the
// example you start from.
#pragma once
#include <fabrikon/ComError.h>
#include <fabrikon/Recordset.h>
#include <fabrikon/RowsetEditor.h>
#include <fabrikon/clsVoucherCO.h>
#include <fabrikon/host/EmbeddedLoginInfo.h>
#include <fabrikon/host/VoucherForm.h>

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>

namespace example {

struct Unexpected : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// A text as the shell shows it: quoted, with carriage returns visible
// (check messages end with one).
inline std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
  return out + "\"";
}

// Prints STEP => "ANSWER" and stops unless the answer is the expected one
// ("" for the checks, the saves and the other operations that answer
// nothing on success).
inline void Expect(const std::string& step, const std::string& answer, const std::string& expected = "") {
  std::cout << step << " => " << Quoted(answer) << "\n";
  if (answer != expected) throw Unexpected(step + " answered " + Quoted(answer) + ", not " + Quoted(expected));
}

inline void Require(bool ok, const std::string& what) {
  if (!ok) throw Unexpected(what);
}

// A field of the head row ("" when the row has none).
inline std::string Head(const fabrikon::VoucherFormPtr& form, const std::string& name) {
  return fabrikon::RowsetEditor(form->HeadDOM()).Value(1, name).ToText();
}

// Opens card `card` on the connection as the demo plant's user lina, on the
// day the demo's orders are dated.
inline void InitCard(fabrikon::clsVoucherCO& co, const fabrikon::ConnectionPtr& conn, const std::string& card) {
  auto login = std::make_shared<fabrikon::EmbeddedLoginInfo>(fabrikon::DateTime{2024, 3, 11}, "李娜", "lina");
  co.Init(login, conn, card);
  std::cout << "Init " << card << " => business object " << co.BusinessClassName() << "\n";
}

// Both save-mode checks and the save of a new voucher; answers its key.
inline std::string CheckAndSaveNew(fabrikon::clsVoucherCO& co, const fabrikon::VoucherFormPtr& form) {
  Expect("HeadCheck (save mode)", co.HeadCheck(form, "", /*bSaveMode*/ true));
  Expect("BodyCheck (save mode)", co.BodyCheck(form, 1, "", /*bSaveMode*/ true));
  fabrikon::Variant curId;
  Expect("VoucherSave2 2 (new)", co.VoucherSave2(form, 2, curId));
  const std::string id = curId.ToText();
  std::cout << "  varCurID: " << Quoted(id) << "\n";
  Require(!id.empty(), "the save gave no key");
  return id;
}

// Every row of a list page or its totals, a line each.
inline void PrintRows(const std::string& label, const fabrikon::RecordsetPtr& rows) {
  for (; rows && !rows->Eof(); rows->MoveNext()) {
    std::cout << "  " << label << ":";
    for (size_t i = 0; i < rows->FieldCount(); ++i) {
      std::cout << " " << rows->Fields(i).Name() << "=" << Quoted(rows->Fields(i).Value().ToText());
    }
    std::cout << "\n";
  }
}

// Runs the example on the database named by the first argument (plant.db
// when none): 0 when every step answered as expected, otherwise 1.
inline int RunExample(int argc, char** argv, void (*run)(const std::string& database)) {
  try {
    run(argc > 1 ? argv[1] : "plant.db");
    return 0;
  } catch (const fabrikon::ComError& e) {  // the database or a component failed
    std::fprintf(stderr, "error 0x%08X: %s\n", static_cast<unsigned>(e.Number()), e.Description().c_str());
  } catch (const std::exception& e) {  // an answer that was not the expected one
    std::cerr << "failed: " << e.what() << "\n";
  }
  return 1;
}

}  // namespace example

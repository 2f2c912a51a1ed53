// Every shop-floor card through `fabrikon shell` on a copy of the demo plant:
// the commands a user types and the answer line each must print.
#include <array>
#include <cstdio>
#include <fstream>

#include "ShopfloorTestSupport.h"

namespace fabrikon::testing_shopfloor {
namespace {

// The answer line ("=> ..." or "!! ...") of every echoed command, in order.
std::vector<std::string> AnswerLines(const std::string& database, const std::string& script) {
  const std::string command = std::string(FABRIKON_CLI) + " shell '" + database + "' --date 2024-03-10 < '" +
                              script + "' 2>/dev/null";
  std::string output;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {};
  std::array<char, 4096> buffer;
  for (size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) output.append(buffer.data(), n);
  pclose(pipe);
  std::vector<std::string> answers;
  bool waiting = false;
  for (size_t start = 0, end; start < output.size(); start = end + 1) {
    end = output.find('\n', start);
    if (end == std::string::npos) end = output.size();
    const std::string line = output.substr(start, end - start);
    if (line.rfind("> ", 0) == 0) {
      waiting = true;
    } else if (waiting && (line.rfind("=> ", 0) == 0 || line.rfind("!! ", 0) == 0)) {
      answers.push_back(line);
      waiting = false;
    }
  }
  return answers;
}

TEST(ShellShopfloorTest, EveryCardWorksThroughTheShell) {
  const std::vector<std::pair<std::string, std::string>> session = {
      {"init pp13", "=> false"},
      {"load 4", "=> \"\""},
      {"cancel-confirm", "=> \"派工单[5]已经做进度汇报，弃审失败！\""},
      {"close", "=> \"派工单[5  6]关闭成功！\""},
      {"set-line 2 cindex=02a", "=> \"\""},
      {"body-check 2 cindex",
       "=> \"表体：第2行[cindex]的长度必须等于4，请检查！\\r表体：第2行[cindex]的输入必须为数字，请检查！\\r\""},
      {"allow-delete", "=> \"此张单据[4]已经被改变或删除，删除失败！\""},
      {"init pp14", "=> false"},
      {"load 3", "=> \"\""},
      {"body-check 1", "=> \"表体：第1行[派工单]已经被关闭，请检查！\\r\""},
      {"confirm", "=> \"进度完工汇报单[JD000003]审核成功！\""},
      {"init pp15", "=> false"},
      {"load 2", "=> \"\""},
      {"confirm", "=> \"订单完工汇报单[DW000002]审核成功！\""},
      {"close", "!! 0x000001B6 Object doesn't support this property or method: clsPORpt.VoucherClose"},
      {"init pp02", "=> false"},
      {"load 3", "=> \"\""},
      {"cancel-confirm", "=> \"单据[ROP000003]弃审成功！\""},
      {"confirm", "=> \"单据[ROP000003]已经被删除或已经被审核,审核失败！\""},
      {"init pp11", "=> false"},
      {"load 3", "=> \"\""},
      {"head-check", "=> \"\""},
      {"set-head routcode=GY000009", "=> \"\""},
      {"head-check", "=> \"表头：此存货已建立工艺路线，请检查！\\r\""},
      {"init pp09", "=> false"},
      {"load R04", "=> \"\""},
      {"set-head workeff=100.5", "=> \"\""},
      {"head-check", "=> \"表头：[workeff]不能大于100，请检查！\\r\""},
      {"init pp10", "=> false"},
      {"new", "=> \"\""},
      {"confirm", "!! 0x000001B6 Object doesn't support this property or method: clsBaseFile.VoucherConfirm"},
  };
  testsupport::DemoDatabase db;
  const std::string script = testsupport::TempPath("script");
  {
    std::ofstream out(script);
    for (const auto& [command, answer] : session) out << command << "\n";
  }
  const std::vector<std::string> answers = AnswerLines(db.Path(), script);
  std::filesystem::remove(script);
  ASSERT_EQ(answers.size(), session.size());
  for (size_t i = 0; i < session.size(); ++i) EXPECT_EQ(answers[i], session[i].second) << session[i].first;
}

}  // namespace
}  // namespace fabrikon::testing_shopfloor

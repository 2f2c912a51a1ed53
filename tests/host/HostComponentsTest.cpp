// The components a program gets when it runs the library without the host:
// message boxes that never block, per-thread factories and registry, the
// preset filter window and the voucher form's shared documents.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "fabrikon/host/HostServices.h"
#include "fabrikon/host/MessageBox.h"
#include "host/EmbeddedCardNumberRegistry.h"
#include "fabrikon/host/EmbeddedFilterService.h"
#include "fabrikon/host/EmbeddedLoginInfo.h"
#include "host/EmbeddedReferenceChecker.h"
#include "fabrikon/host/EmbeddedVoucherForm.h"
#include "host/EmbeddedVoucherNumberService.h"

namespace fabrikon::test {
namespace {

class RecordingHandler : public MessageBoxHandler {
 public:
  bool AskYesNo(const std::string& text, const std::string& title) override {
    asked = text;
    this->title = title;
    return true;
  }
  void ShowError(const std::string& text, const std::string& title) override {
    shown = text;
    this->title = title;
  }
  std::string asked, shown, title;
};

// Answers as told and counts its boxes; safe on several threads.
class CountingHandler : public MessageBoxHandler {
 public:
  explicit CountingHandler(bool answer) : answer_(answer) {}
  bool AskYesNo(const std::string&, const std::string&) override {
    ++asked;
    return answer_;
  }
  void ShowError(const std::string&, const std::string&) override { ++shown; }
  std::atomic<int> asked{0}, shown{0};

 private:
  const bool answer_;
};

class MessageBoxTest : public ::testing::Test {
 protected:
  void SetUp() override { MessageBox::TakeErrors(); }
  void TearDown() override {
    MessageBox::SetHandler(nullptr);
    MessageBox::SetDefaultHandler(nullptr);
  }
};

TEST_F(MessageBoxTest, WithoutHandlerQuestionsAreAnsweredNoAndErrorsAreKept) {
  EXPECT_FALSE(MessageBox::AskYesNo("关闭吗？"));
  MessageBox::ShowError("第一");
  MessageBox::ShowError("第二");
  EXPECT_EQ(MessageBox::TakeErrors(), (std::vector<std::string>{"第一", "第二"}));
  EXPECT_TRUE(MessageBox::TakeErrors().empty());
}

TEST_F(MessageBoxTest, UncollectedErrorsDoNotGrowWithoutBound) {
  for (int i = 0; i < 1000; ++i) MessageBox::ShowError(std::to_string(i));
  std::vector<std::string> kept = MessageBox::TakeErrors();
  ASSERT_FALSE(kept.empty());
  EXPECT_LT(kept.size(), 1000u);
  EXPECT_EQ(kept.back(), "999");
}

TEST_F(MessageBoxTest, InstalledHandlerGetsTheTitleAndDecides) {
  auto handler = std::make_shared<RecordingHandler>();
  MessageBox::SetHandler(handler);
  EXPECT_TRUE(MessageBox::AskYesNo("关闭吗？"));
  MessageBox::ShowError("坏值");
  EXPECT_EQ(handler->asked, "关闭吗？");
  EXPECT_EQ(handler->shown, "坏值");
  EXPECT_EQ(handler->title, "委外管理");
  EXPECT_TRUE(MessageBox::TakeErrors().empty());
  MessageBox::SetHandler(nullptr);
  EXPECT_FALSE(MessageBox::AskYesNo("关闭吗？"));
}

TEST_F(MessageBoxTest, HandlerAndErrorsBelongToOneThread) {
  MessageBox::SetHandler(std::make_shared<RecordingHandler>());
  bool answer = true;
  std::thread other([&] {
    answer = MessageBox::AskYesNo("?");
    MessageBox::ShowError("other thread");
  });
  other.join();
  EXPECT_FALSE(answer);
  EXPECT_TRUE(MessageBox::TakeErrors().empty());
}

TEST_F(MessageBoxTest, ThreadsWithoutTheirOwnHandlerUseTheDefault) {
  auto fallback = std::make_shared<CountingHandler>(true);
  MessageBox::SetDefaultHandler(fallback);
  bool withDefault = false;
  bool withOwn = true;
  size_t keptThere = 1;
  std::thread plain([&] {
    withDefault = MessageBox::AskYesNo("?");
    MessageBox::ShowError("shown by the default");
    keptThere = MessageBox::TakeErrors().size();
  });
  plain.join();
  std::thread own([&] {
    auto mine = std::make_shared<CountingHandler>(false);
    MessageBox::SetHandler(mine);
    EXPECT_EQ(MessageBox::Handler(), mine);
    withOwn = MessageBox::AskYesNo("?");
    MessageBox::ShowError("mine");
    EXPECT_EQ(mine->shown, 1);
  });
  own.join();
  EXPECT_TRUE(withDefault);
  EXPECT_FALSE(withOwn);
  EXPECT_EQ(keptThere, 0u);
  EXPECT_EQ(fallback->asked, 1);
  EXPECT_EQ(fallback->shown, 1);
  EXPECT_EQ(MessageBox::Handler(), nullptr);  // the default is not this thread's own

  MessageBox::SetDefaultHandler(nullptr);
  EXPECT_FALSE(MessageBox::AskYesNo("?"));
  MessageBox::ShowError("kept");
  EXPECT_EQ(MessageBox::TakeErrors(), std::vector<std::string>{"kept"});
}

TEST_F(MessageBoxTest, TheDefaultCanBeReplacedWhileOtherThreadsAsk) {
  auto yes = std::make_shared<CountingHandler>(true);
  auto no = std::make_shared<CountingHandler>(false);
  MessageBox::SetDefaultHandler(yes);
  std::vector<std::thread> askers;
  for (int t = 0; t < 4; ++t) {
    askers.emplace_back([] {
      for (int i = 0; i < 500; ++i) MessageBox::AskYesNo("?");
    });
  }
  for (int i = 0; i < 500; ++i) MessageBox::SetDefaultHandler(i % 2 ? yes : no);
  for (std::thread& asker : askers) asker.join();
  EXPECT_EQ(yes->asked + no->asked, 4 * 500);
}

class HostServicesTest : public ::testing::Test {
 protected:
  void TearDown() override {
    HostServices::SetNumberServiceFactory(nullptr);
    HostServices::SetReferenceCheckerFactory(nullptr);
    HostServices::SetFilterServiceFactory(nullptr);
    HostServices::SetCardNumberRegistry(nullptr);
  }
};

TEST_F(HostServicesTest, DefaultsAreTheEmbeddedComponents) {
  EXPECT_NE(std::dynamic_pointer_cast<EmbeddedVoucherNumberService>(HostServices::CreateNumberService()), nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<EmbeddedReferenceChecker>(HostServices::CreateReferenceChecker()), nullptr);
  EXPECT_NE(std::dynamic_pointer_cast<EmbeddedFilterService>(HostServices::CreateFilterService()), nullptr);
  EXPECT_NE(HostServices::CreateFormatService(), nullptr);
  EXPECT_NE(HostServices::CreateNumberService(), HostServices::CreateNumberService());
}

TEST_F(HostServicesTest, InstalledFactoryIsUsedAndANullAnswerFallsBack) {
  auto preset = std::make_shared<EmbeddedFilterService>();
  HostServices::SetFilterServiceFactory([preset] { return preset; });
  EXPECT_EQ(HostServices::CreateFilterService(), preset);
  HostServices::SetReferenceCheckerFactory([] { return ReferenceCheckerPtr(); });
  EXPECT_NE(HostServices::CreateReferenceChecker(), nullptr);
}

TEST_F(HostServicesTest, RegistryIsOnePerThread) {
  CardNumberRegistryPtr mine = HostServices::GetCardNumberRegistry();
  EXPECT_EQ(HostServices::GetCardNumberRegistry(), mine);
  CardNumberRegistryPtr theirs;
  std::thread other([&] { theirs = HostServices::GetCardNumberRegistry(); });
  other.join();
  EXPECT_NE(theirs, mine);
  auto custom = std::make_shared<EmbeddedCardNumberRegistry>();
  HostServices::SetCardNumberRegistry(custom);
  EXPECT_EQ(HostServices::GetCardNumberRegistry(), custom);
  HostServices::SetCardNumberRegistry(nullptr);
  EXPECT_NE(HostServices::GetCardNumberRegistry(), nullptr);
}

// Runs the four calls in the order the library makes them.
std::pair<long, std::string> ShowFilter(FilterService& service, const std::string& card) {
  std::shared_ptr<void> reference;
  LoginInfoPtr login = std::make_shared<EmbeddedLoginInfo>(DateTime{2008, 1, 14}, "张三", "demo");
  long result = -1;
  service.Prepare(0);
  service.Show(card, "PP", nullptr, reference, true, true, login->cUserId(), login, result);
  std::string filter = result == 1 ? service.GetFilter(card) : "";
  service.Close("", true);
  return {result, filter};
}

TEST(EmbeddedFilterServiceTest, ConfirmsOnlyAPresetFilter) {
  EmbeddedFilterService service;
  EXPECT_EQ(ShowFilter(service, "pp25").first, 0);
  service.SetFilter("ccode like 'A%'");
  service.SetFilter("PP13", "");
  EXPECT_EQ(ShowFilter(service, "pp25"), std::make_pair(1L, std::string("ccode like 'A%'")));
  // A card's own filter wins, also when it is empty (show everything).
  EXPECT_EQ(ShowFilter(service, "pp13"), std::make_pair(1L, std::string("")));
  service.ClearFilters();
  EXPECT_EQ(ShowFilter(service, "pp13").first, 0);
}

TEST(EmbeddedVoucherFormTest, HandsOutTheSameDocumentsAndNeverNull) {
  EmbeddedVoucherForm form;
  DOMDocumentPtr head = form.HeadDOM();
  ASSERT_NE(head, nullptr);
  EXPECT_EQ(form.HeadDOM(), head);
  EXPECT_EQ(form.BodyDOM(), form.BodyDOM());
  form.HeadDOM(nullptr);
  EXPECT_NE(form.HeadDOM(), nullptr);
  DOMDocumentPtr replaced = DOMDocument::Create();
  form.HeadDOM(replaced);
  EXPECT_EQ(form.HeadDOM(), replaced);
}

TEST(EmbeddedLoginInfoTest, LoginDateIsACalendarDate) {
  EmbeddedLoginInfo login(DateTime{2008, 1, 14, 9, 30, 0}, "张三", "demo");
  EXPECT_EQ(login.CurDate().ToText(), "2008-01-14");
  EXPECT_EQ(login.cUserName(), "张三");
  EXPECT_EQ(login.cUserId(), "demo");
}

}  // namespace
}  // namespace fabrikon::test

// The restart request on both kinds of system, against stand-ins for advapi32 that
// record the request instead of restarting the machine (which would end the Wine
// session every test shares).
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "setup/Restart.h"
#include "tests/environment/standin/ShutdownStandIn.h"

namespace {

constexpr DWORD kReason = 0x80020004;

typedef void (*LastRequestProc)(ShutdownRequest*);
typedef void (*AnswerProc)(int);

std::wstring BesideTheProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring program(path, length);
  return program.substr(0, program.find_last_of(L'\\') + 1) + name;
}

template <typename Proc>
Proc ProcOf(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

TEST(RestartRequest, GivesTheReasonWhereTheSystemTakesOneAndRestartsWithoutItElsewhere) {
  struct System {
    const wchar_t* standIn;
    int hasReasonCall;
  };
  for (const System& system : {System{KESTREL_STANDIN_XP, 1}, System{KESTREL_STANDIN_2000, 0}}) {
    SCOPED_TRACE(testing::Message() << "advapi32 of " << (system.hasReasonCall ? "XP" : "2000"));
    HMODULE advapi = LoadLibraryW(BesideTheProgram(system.standIn).c_str());
    ASSERT_NE(nullptr, advapi);
    LastRequestProc lastRequest = ProcOf<LastRequestProc>(advapi, "StandInLastRequest");
    AnswerProc answer = ProcOf<AnswerProc>(advapi, "StandInAnswer");
    ASSERT_TRUE(lastRequest != nullptr && answer != nullptr);

    EXPECT_EQ(1, RequestRestart(advapi, kReason));
    ShutdownRequest request = {};
    lastRequest(&request);
    EXPECT_EQ(1, request.calls);
    EXPECT_EQ(system.hasReasonCall, request.withReason);
    EXPECT_EQ(system.hasReasonCall ? kReason : 0u, request.reason);
    // This machine, at once, no message, applications asked rather than forced.
    EXPECT_EQ(0, request.machineGiven);
    EXPECT_EQ(0, request.messageGiven);
    EXPECT_EQ(0u, request.timeout);
    EXPECT_EQ(0, request.forceAppsClosed);
    EXPECT_NE(0, request.reboot);

    // A refusal is reported as one.
    answer(0);
    EXPECT_EQ(0, RequestRestart(advapi, kReason));
    FreeLibrary(advapi);
  }
  // No module, or one that exports neither call: nothing to ask.
  EXPECT_EQ(0, RequestRestart(nullptr, kReason));
  EXPECT_EQ(0, RequestRestart(GetModuleHandleW(nullptr), kReason));
}

}  // namespace

// The prompt script stands in for the user: it records what was asked, on
// which thread, and answers from its queue, its handler or the safe default.
#include "framework/Prompts.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(PromptScript, AnswersFromQueueThenWithTheSafeDefault) {
    fw::PromptScript script;
    ASSERT_EQ(fw::PromptScript::Active(), &script);
    script.AnswerMessage(IDYES);
    EXPECT_EQ(fw::ShowMessage(L"first?", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(fw::ShowMessage(L"second?", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(fw::ShowMessage(L"notice"), IDOK);

    const auto messages = script.Messages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0].text, L"first?");
    EXPECT_EQ(messages[0].type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(messages[2].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}

TEST(PromptScript, ChoosersTakeQueuedPathsAndCancelWhenNoneIsLeft) {
    fw::PromptScript script;
    script.AnswerFile(L"C:\\clips\\a.mp4");
    fw::FileChooserOptions options;
    options.filters = {{L"Video Files ", L"*.mp4"}};
    EXPECT_EQ(fw::ChooseFile(options), std::optional<std::wstring>(L"C:\\clips\\a.mp4"));
    EXPECT_EQ(fw::ChooseFile(options), std::nullopt);

    const auto records = script.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_TRUE(records[0].chooser);
    EXPECT_EQ(records[0].options.filters.at(0).patterns, L"*.mp4");
    EXPECT_TRUE(script.Messages().empty());
}

TEST(PromptScript, HandlerAnswersEveryThreadAndScriptEndsWithItsScope) {
    {
        fw::PromptScript script;
        script.AnswerMessage(IDOK); // the handler takes precedence over the queue
        script.OnMessage([](const fw::PromptScript::Record& record) {
            return record.text == L"stop?" ? IDYES : IDCANCEL;
        });
        int answer = 0;
        DWORD workerId = 0;
        std::thread worker([&] {
            workerId = GetCurrentThreadId();
            answer = fw::ShowMessage(L"stop?", MB_YESNO);
        });
        worker.join();
        EXPECT_EQ(answer, IDYES);
        ASSERT_EQ(script.Messages().size(), 1u);
        EXPECT_EQ(script.Messages()[0].threadId, workerId);
    }
    EXPECT_EQ(fw::PromptScript::Active(), nullptr);
}

TEST(FileExtension, IsTheLastDotOfTheFileNameOnly) {
    EXPECT_EQ(fw::FileExtension(L"C:\\a\\clip.Final.MP4"), L"MP4");
    EXPECT_EQ(fw::FileExtension(L"C:\\dir.v2\\clip"), L"");
    EXPECT_EQ(fw::FileExtension(L"clip."), L"");
}

} // namespace

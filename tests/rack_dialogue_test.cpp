// The console dialogue of cutdemo3, byte for byte, and what it does with bad answers.
#include "rack_program.h"
#include "dialogue_texts.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

using namespace texts;

ConsoleRun dialogue(const std::string& input)
{
    rackGear = RackGear{};
    return runOnConsole(input, [](std::FILE* in, std::FILE* out) { return runRackDialogue(in, out); });
}

class RackDialogue : public InScratchDir {};

TEST_F(RackDialogue, ToothCountTwentyWithoutTheFileIsExact)
{
    const ConsoleRun run = dialogue("20\n0\n");
    EXPECT_TRUE(run.result);
    EXPECT_EQ(run.output, banner + prompt + circles20 + offer + keyList);
    EXPECT_EQ(rackTables.profileLast, 188);
}

TEST_F(RackDialogue, ToothCountTwentyWithTheFileIsExactAndWritesIt)
{
    const ConsoleRun run = dialogue("20\n1\ndataz20\n");
    EXPECT_EQ(run.output, banner + prompt + circles20 + offer + fileQuestion + keyList);
    const std::string file = readWholeFile("dataz20");
    EXPECT_EQ(file.rfind("z=20   m=188\n", 0), 0u);
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 1 + 189 + 2);  // header, rows, rule, trailer
}

TEST_F(RackDialogue, AFileNameIsTheWholeLineAndNothingOfItReachesTheNextQuestion)
{
    const ConsoleRun run = dialogue("20\n1\n  my file.txt \n7\n");
    EXPECT_EQ(run.output, banner + prompt + circles20 + offer + fileQuestion + keyList);
    EXPECT_EQ(readWholeFile("my file.txt").rfind("z=20   m=188\n", 0), 0u);
    EXPECT_EQ(run.unread, "7\n");  // what the next z reads
}

TEST_F(RackDialogue, OtherToothCountsPrintTheirCirclesAndRolls)
{
    EXPECT_EQ(dialogue("10\n\n").output,
              banner + prompt +
                  circles("\n歯数= 10, 歯先円= 6.000[mm], 歯元円= 3.750[mm], 基礎円= 4.698[mm]",
                          " 30.36  -5.21") +
                  offer + keyList);
    EXPECT_EQ(dialogue("100\nn\n").output,
              banner + prompt +
                  circles("\n歯数=100, 歯先円=51.000[mm], 歯元円=48.750[mm], 基礎円=46.985[mm]",
                          " 11.22  -0.52") +
                  offer + keyList);
    // z = 1: a negative root radius, and every table still fits.
    const ConsoleRun one = dialogue("1\n0\n");
    EXPECT_NE(one.output.find("歯元円=-0.750[mm]"), std::string::npos);
    EXPECT_EQ(rackTables.involuteLast, 589);
}

TEST_F(RackDialogue, SetUpResetsTheViewButNotTheMode)
{
    rackView = RackView{'4', 7, 8, 9, 10, 0.405};
    dialogue("20\n0\n");
    EXPECT_EQ(rackView.mode, '4');
    EXPECT_EQ(rackView.addendumStep + rackView.dedendumStep + rackView.undercutStep + rackView.wholeStep, 0);
    EXPECT_EQ(rackView.zoom, 0.5);
}

TEST_F(RackDialogue, BadToothCountsAreRefusedWithAMessageAndAskedAgain)
{
    const ConsoleRun run = dialogue("0\n-3\nabc def\n99999999999\n20\n0\n");
    EXPECT_TRUE(run.result);
    const std::string tooSmall = "\n歯数は1以上の整数で入力してください";
    const std::string notANumber = "\n歯数は数字で入力してください（1以上の整数）";
    const std::string tooLarge = "\n歯数が大きすぎます（2147483647まで）";
    EXPECT_EQ(run.output, banner + prompt + tooSmall + prompt + tooSmall + prompt + notANumber + prompt +
                              tooLarge + prompt + circles20 + offer + keyList);
    EXPECT_EQ(rackGear.toothCount, 20);
}

TEST_F(RackDialogue, TheLargestIntIsAccepted)
{
    const ConsoleRun run = dialogue("2147483647\n0\n");
    EXPECT_TRUE(run.result);
    EXPECT_EQ(rackGear.toothCount, 2147483647);
    EXPECT_NE(run.output.find("歯数=2147483647, "), std::string::npos);
    EXPECT_LE(rackTables.profileLast, 600);
}

TEST_F(RackDialogue, EndOfInputBeforeAnyToothCountEndsTheSetUp)
{
    for (const char* input : {"", "\n\n  ", "abc\n"}) {
        const ConsoleRun run = dialogue(input);
        EXPECT_FALSE(run.result) << input;
        EXPECT_NE(run.output.find("\n入力が終わりました：歯数が入力されないので終了します\n"), std::string::npos);
        EXPECT_EQ(run.output.find(offer), std::string::npos);
    }
}

TEST_F(RackDialogue, EndOfInputOnALaterSetUpKeepsThePreviousToothCount)
{
    dialogue("17\n0\n");
    const ConsoleRun run =
        runOnConsole("", [](std::FILE* in, std::FILE* out) { return runRackDialogue(in, out); });
    EXPECT_TRUE(run.result);
    EXPECT_EQ(rackGear.toothCount, 17);
    EXPECT_NE(run.output.find(prompt + "\n入力が終わりました：歯数z=17のまま続けます\nモジュールm=1[mm]"),
              std::string::npos);
    EXPECT_NE(run.output.find(offer + "\n入力が終わりました：ファイルは書き込みません" + keyList),
              std::string::npos);
}

TEST_F(RackDialogue, EndOfInputAtTheFileNameWritesNothing)
{
    const ConsoleRun run = dialogue("20\n1\n");
    EXPECT_EQ(run.output, banner + prompt + circles20 + offer + fileQuestion +
                              "\n入力が終わりました：ファイルは書き込みません" + keyList);
}

TEST_F(RackDialogue, TheRestOfTheToothCountLineIsSkippedBeforeTheKey)
{
    // "20 1" holds the key on the tooth count's line: it is not the answer to the offer.
    const ConsoleRun run = dialogue("20 1\n\n1\nnot-written\n");
    EXPECT_EQ(run.output.find(fileQuestion), std::string::npos);
    EXPECT_EQ(run.unread, "1\nnot-written\n");
}

TEST_F(RackDialogue, AFileThatCannotBeWrittenIsReportedAndTheSetUpGoesOn)
{
    const ConsoleRun run = dialogue("20\n1\nno-such-dir/dataz20\n");
    EXPECT_NE(run.output.find(
                  "\nファイル「no-such-dir/dataz20」に書き込めません：No such file or directory" + keyList),
              std::string::npos);
    const ConsoleRun full = dialogue("20\n1\n/dev/full\n");
    EXPECT_NE(full.output.find("\nファイル「/dev/full」に書き込めません：No space left on device" + keyList),
              std::string::npos);
}

}  // namespace

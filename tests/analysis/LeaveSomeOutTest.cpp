#include <functional>

#include "analysis/LeaveSomeOut.h"
#include "network/LearningFixture.h"
#include "platform/StringFormat.h"
#include "support/TempDir.h"

namespace quorin::test {
namespace {

// Ten rows of two inputs and one output, named so that one name is 20 characters long.
void MakeTen(CQuorinDoc& doc, int rows = 10) {
    for (int c = 0; c < 3; ++c) doc.AddCol(0, c == 2 ? Output : Input, 1);
    for (int r = 0; r < rows; ++r) doc.AddRow(0, Training, 0, 1);
    for (int r = 0; r < rows; ++r) {
        doc.SetExampleName(r, r == 0 ? "A twenty char name!!" : Format("row%d", r), 1);
        const double x = r * 0.7, y = (r * 37 % 11) * 0.3;
        doc.SetValue(0, r, x, 0, 0, 0, 1);
        doc.SetValue(1, r, y, 0, 0, 0, 1);
        doc.SetValue(2, r, x + y > 4.0 ? 1.0 : 0.0, 0, 0, 0, 1);
    }
    doc.RenormaliseAll(1);
    NewNetwork(doc, 2, 3, 1, 0);
    SetWeightsIn(doc);
}

class LeaveSomeOutTest : public LearningTest {
protected:
    void SetUp() override { MakeTen(Doc); }

    std::string RunHeadless(int examples, int cycles, int threads = 2) {
        CLeaveOutSettings s;
        s.Examples = examples;
        s.Cycles = cycles;
        s.LogPath = Dir.File("report.lo.txt");
        CLeaveSomeOut run(Doc);
        run.SetThreadCount(threads);
        EXPECT_EQ(run.RunHeadless(s), 1);
        return ReadWholeFile(s.LogPath);
    }

    static std::vector<std::string> Lines(const std::string& text) {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }

    CTempDir Dir;
};

TEST(LeaveSomeOutTexts, ProposalsNamesAndProgressLines) {
    EXPECT_EQ(ProposedExamples(25), 2);
    EXPECT_EQ(ProposedExamples(5), 1);
    EXPECT_EQ(ReportRowName("A twenty char name!!"), "A twenty char +");
    EXPECT_EQ(ReportRowName("fifteen chars!!"), "fifteen chars!!");
    EXPECT_EQ(ProgressLearningText(10, 3, 5, 8), "Learning 7 examples starting at row 1 for 5 cycles");
    EXPECT_EQ(ProgressLearningText(10, 1, 1, 9), "Learning 9 examples starting at row 0 for 1 cycle");
    EXPECT_EQ(ProgressValidatingText(3, 8), "then validating 3 examples starting at row 8");
    EXPECT_EQ(ProgressValidatingText(1, 4), "then validating 1 example at row 4");
}

TEST_F(LeaveSomeOutTest, TheReportHasItsHeadWrappedBlocksAndTheAverageOverRows) {
    Doc.m_PathName = "/data/ten.tvq";
    Doc.m_ValidatingMode = 0;
    Doc.m_WithinPercentage = 10.0;
    const auto lines = Lines(RunHeadless(3, 2));
    ASSERT_EQ(lines.size(), 10u + 20u + 5u);
    EXPECT_EQ(lines[0], "/data/ten.tvq\tLeave Some Out Validating");
    EXPECT_EQ(lines[2], "Validating Examples\t\t3");
    EXPECT_EQ(lines[4], "Training cycles");
    EXPECT_EQ(lines[5], "    per Validating cycle\t2");
    EXPECT_EQ(lines[7], "\t\t\tValidating\t\t\t\tTraining");
    EXPECT_EQ(lines[8], "\tRow\tName\t\tType\tWithin 10.00%\t\tError");
    EXPECT_EQ(lines[10], "From\t0\tA twenty char +\tT:");
    // S = 8 leaves out rows 8, 9 and 0: its To line names row 0.
    EXPECT_EQ(lines[26].rfind("From\t8\trow8\tT:", 0), 0u);
    EXPECT_EQ(lines[27].rfind("To\t0\tA twenty char +\tT:\t", 0), 0u);
    double sum = 0.0;
    for (size_t i = 11; i < 31; i += 2) {
        const auto fields = lines[i];
        const size_t tab = fields.find('%');
        sum += std::atof(fields.substr(fields.rfind('\t', tab) + 1).c_str());
    }
    EXPECT_EQ(lines[31].rfind("Learning:\tsum of absolute errors\t\t", 0), 0u);
    EXPECT_EQ(lines[32], Format("Validating:\taverage within 10.00%% range\t%.4lf%%", sum / 10));
    EXPECT_EQ(lines[33], "");
    EXPECT_EQ(lines.back(), "");
}

TEST_F(LeaveSomeOutTest, OutOfRangeCountsAreCorrectedWithTheirMessages) {
    Doc.m_ValidatingMode = 1;
    auto lines = Lines(RunHeadless(9, 1));
    EXPECT_EQ(P.Prompts.Texts(), std::vector<std::string>{
        "The number of examples to leave out\nis too high and has been reduced to 8."});
    EXPECT_EQ(lines[2], "Validating Examples\t\t8");
    EXPECT_EQ(lines[8], "\tRow\tName\t\tType\tCorrect\t\t\tError");
    EXPECT_EQ(lines[11].rfind("To\t7\trow7\tT:", 0), 0u);
    EXPECT_EQ(lines[32].rfind("Validating:\taverage correct after rounding\t", 0), 0u);

    P.Prompts.Clear();
    lines = Lines(RunHeadless(0, 1));
    EXPECT_EQ(P.Prompts.Texts(),
              std::vector<std::string>{"The number of examples to leave out has been set to 1."});
    ASSERT_EQ(lines.size(), 10u + 10u + 5u);
    for (size_t i = 10; i < 20; ++i) EXPECT_EQ(lines[i].rfind(Format("At\t%zu\t", i - 10), 0), 0u);
}

TEST_F(LeaveSomeOutTest, TypesAreKeptAndTheLastStepsNetworkStays) {
    Doc.SetExampleType(3, Querying);
    Doc.SetExampleType(5, ExcludedRow);
    const auto report = Lines(RunHeadless(1, 3));
    EXPECT_EQ(report[13].rfind("At\t3\trow3\tQ:", 0), 0u);
    EXPECT_EQ(report[15].rfind("At\t5\trow5\tX:", 0), 0u);
    EXPECT_EQ(Doc.m_Examples[3].ExampleType, Querying);
    EXPECT_EQ(Doc.m_Examples[5].ExampleType, ExcludedRow);
    EXPECT_FALSE(Doc.m_LeavingOut);
    EXPECT_EQ(P.App->ThreadCount(), 1);

    // The same steps one after another on the document itself.
    CTestPlatform other;
    CQuorinDoc same(*other.App);
    same.NewDocument();
    MakeTen(same);
    same.SetExampleType(3, Querying);
    same.SetExampleType(5, ExcludedRow);
    ForgetLearning(same, 0, 1, 1, 0);
    for (int s = 0; s < 10; ++s) LeaveOut(same, s, 1, 3);
    ASSERT_EQ(same.m_Weights.size(), Doc.m_Weights.size());
    for (size_t w = 0; w < Doc.m_Weights.size(); ++w) {
        EXPECT_EQ(same.m_Weights[w].Weight, Doc.m_Weights[w].Weight);
        EXPECT_EQ(same.m_Weights[w].WeightChange, Doc.m_Weights[w].WeightChange);
    }
    for (size_t n = 0; n < Doc.m_Nodes.size(); ++n) {
        EXPECT_EQ(same.m_Nodes[n].Bias, Doc.m_Nodes[n].Bias);
        EXPECT_EQ(same.m_Nodes[n].Activation, Doc.m_Nodes[n].Activation);
    }
    for (size_t r = 0; r < Doc.m_Examples.size(); ++r)
        EXPECT_EQ(same.ExampleError(r), Doc.ExampleError(r));
    EXPECT_EQ(same.m_LearningCycles.load(), Doc.m_LearningCycles.load());
    EXPECT_EQ(same.m_StartLearningCycles, Doc.m_StartLearningCycles);
}

TEST_F(LeaveSomeOutTest, OneThreadAndFourThreadsGiveTheSameBytesAndWeights) {
    for (int r = 10; r < 40; ++r) {
        Doc.AddRow(0, Training, 0, 1);
        for (int c = 0; c < 3; ++c) Doc.SetValue(c, r, ((r * (c + 3)) % 7) / 7.0, 0, 0, 0, 1);
    }
    Doc.RenormaliseAll(1);
    NewNetwork(Doc, 2, 3, 1, 0);
    const std::string one = RunHeadless(4, 5, 1);
    const auto weights = Doc.m_Weights;
    const auto nodes = Doc.m_Nodes;
    const std::string four = RunHeadless(4, 5, 4);
    EXPECT_EQ(one, four);
    for (size_t w = 0; w < weights.size(); ++w) EXPECT_EQ(weights[w].Weight, Doc.m_Weights[w].Weight);
    for (size_t n = 0; n < nodes.size(); ++n) EXPECT_EQ(nodes[n].Bias, Doc.m_Nodes[n].Bias);
}

// Prompts whose modeless windows press buttons chosen from what the window shows.
class CPressingPrompts : public CScriptedPrompts {
public:
    std::function<std::string(const CDialogForm&)> Press;
    std::vector<std::string> Titles;

    class CWindow : public IModelessWindow {
    public:
        explicit CWindow(CPressingPrompts& owner) : m_Owner(owner) {}
        void Update(const CDialogForm& form) override {
            m_Form = form;
            if (m_Owner.Titles.empty() || m_Owner.Titles.back() != form.Title)
                m_Owner.Titles.push_back(form.Title);
        }
        std::string PollButton() override { return m_Owner.Press ? m_Owner.Press(m_Form) : ""; }
        bool IsOpen() const override { return m_Open; }
        void Close() override { m_Open = false; }

    private:
        CPressingPrompts& m_Owner;
        CDialogForm m_Form;
        bool m_Open = true;
    };
    std::unique_ptr<IModelessWindow> OpenModeless(const CDialogForm& form) override {
        auto window = std::make_unique<CWindow>(*this);
        window->Update(form);
        return window;
    }
};

class LeaveSomeOutDialogTest : public ::testing::Test {
protected:
    LeaveSomeOutDialogTest() {
        CPlatform platform{&Prompts, &P.Clock, &P.Settings, &P.Shell, &P.Views};
        App = std::make_unique<CQuorinApp>(platform);
        Doc = std::make_unique<CQuorinDoc>(*App);
        Doc->NewDocument();
        MakeTen(*Doc);
    }
    void QueueDialogs(const std::string& examples) {
        Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Excluded").IntValue = 1; });
        Prompts.QueueFile(Dir.File("run.lo.txt"));
        Prompts.QueueDialogOk([examples](CDialogForm& f) {
            EXPECT_EQ(f.Text("Examples"), "1");
            EXPECT_EQ(f.Text("Rows"), "9");
            f.Field("Examples").TextValue = examples;
        });
        Prompts.QueueAnswer(IdYes);
    }
    CTestPlatform P;
    CPressingPrompts Prompts;
    std::unique_ptr<CQuorinApp> App;
    std::unique_ptr<CQuorinDoc> Doc;
    CTempDir Dir;
};

TEST_F(LeaveSomeOutDialogTest, StopStartAndCloseDriveTheProgressWindow) {
    Doc->SetExampleType(4, ExcludedRow);
    QueueDialogs("2");
    int polls = 0;
    Prompts.Press = [&](const CDialogForm& form) -> std::string {
        ++polls;
        if (polls == 1) return "Stop";
        if (form.Title == "Leave Some Out stopped") return "Start";
        if (form.Title == "Leave Some Out finished") return "Close";
        return "";
    };
    OnActionLeaveOut(*Doc);
    EXPECT_EQ(Doc->m_Examples.size(), 9u);  // the Excluded row was deleted
    EXPECT_EQ(Prompts.Titles, (std::vector<std::string>{"Leave Some Out", "Leave Some Out stopped",
                                                         "Leave Some Out", "Leave Some Out finished"}));
    EXPECT_EQ(P.Shell.m_Opened, std::vector<std::string>{Dir.File("run.lo.txt")});
    EXPECT_FALSE(Doc->m_Logging);
    EXPECT_FALSE(Doc->m_LeavingOut);
    const std::string report = ReadWholeFile(Dir.File("run.lo.txt"));
    EXPECT_NE(report.find("From\t8\trow9\tT:\r\nTo\t0\tA twenty char +\tT:\t"), std::string::npos);
}

TEST_F(LeaveSomeOutDialogTest, CloseDuringTheRunAbandonsItButKeepsTheFoot) {
    Doc->SetExampleType(4, ExcludedRow);
    QueueDialogs("1");
    Prompts.Press = [](const CDialogForm&) { return std::string("Close"); };
    CLeaveSomeOut run(*Doc);
    run.OnActionLeaveOut();
    EXPECT_TRUE(run.Aborted());
    const std::string report = ReadWholeFile(Dir.File("run.lo.txt"));
    EXPECT_EQ(report.find("At\t"), std::string::npos);
    EXPECT_NE(report.find("Learning:\tsum of absolute errors\t\t0.0000"), std::string::npos);
    EXPECT_EQ(App->ThreadCount(), 1);
}

TEST_F(LeaveSomeOutDialogTest, CancelOrADeclinedQuestionEndsBeforeAnyStep) {
    Prompts.QueueDialogOk();
    Prompts.QueueFile(Dir.File("run.lo.txt"));
    Prompts.QueueDialogOk();
    Prompts.QueueAnswer(IdNo);
    OnActionLeaveOut(*Doc);
    EXPECT_EQ(ReadWholeFile(Dir.File("run.lo.txt")), "");
    EXPECT_TRUE(P.Shell.m_Opened.empty());
    EXPECT_FALSE(Doc->m_Logging);
}

}  // namespace
}  // namespace quorin::test

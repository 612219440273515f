#include "coding/CellFunction.h"

#include <cmath>

#include "coding/CellFunctionCommands.h"
#include "support/FakePlatform.h"

namespace quorin::test {
namespace {

class CellFunctionTest : public DocTest {
protected:
    // Sets the function through the dialog with the cell (column, row) selected.
    void SetFunction(const std::string& text, int column = 0, int row = 0) {
        P.Prompts.QueueDialogOk([text](CDialogForm& form) { form.Field("Function").TextValue = text; });
        ASSERT_EQ(OnSetFunction(Doc, column, row), 1);
    }
    double Cell(int column, int row) const { return Doc.m_Examples[row].Values()[column]; }
    std::string Error(const char* message, int column, int row) {
        return std::string(message) + "\nat column " + std::to_string(column) + " row " +
               std::to_string(row);
    }
};

TEST_F(CellFunctionTest, WorkedExamples) {
    MakeGrid(2, 1, {2, 5});
    SetFunction("+v/2pow3");
    EXPECT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 0), 1);
    EXPECT_EQ(Cell(0, 0), 8.0);
    SetFunction("-1ifz+1");
    Doc.SetValue(0, 0, 1.0, 0, 1, 0, 1);
    EXPECT_EQ(OnExecuteOnInOutColumn(Doc, 0, 0), 1);
    EXPECT_EQ(Cell(0, 0), 1.0);
    EXPECT_EQ(Cell(0, 1), 4.0);
    // The range is brought up to date by the closing write-back.
    EXPECT_EQ(Doc.m_InOuts[0].HighValue, 4.0);
    EXPECT_TRUE(P.Prompts.Texts().empty());
}

TEST_F(CellFunctionTest, ConditionsDecideEachCellOfAColumnOnItsOwn) {
    MakeGrid(4, 1, {3, 0, -2, 5});
    SetFunction("ifnz*0");
    EXPECT_EQ(OnExecuteOnInOutColumn(Doc, 0, 0), 1);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(Cell(0, r), 0.0);
    // A failed condition on one cell does not silence the next cell's first step.
    Doc.SetValue(0, 0, 5, 0, 1, 0, 1);
    Doc.SetValue(0, 1, 3, 0, 1, 0, 1);
    Doc.SetValue(0, 2, 0, 0, 1, 0, 1);
    Doc.SetValue(0, 3, 0, 0, 1, 0, 1);
    SetFunction("-1ifz+1");
    EXPECT_EQ(OnExecuteOnInOutColumn(Doc, 0, 0), 1);
    EXPECT_EQ(Cell(0, 0), 4.0);
    EXPECT_EQ(Cell(0, 1), 2.0);
    EXPECT_EQ(Cell(0, 2), -1.0);
}

TEST_F(CellFunctionTest, OperandLettersAfterAnOperatorAreReadTwice) {
    MakeGrid(3, 1, {2, 7, 4});
    SetFunction("*x", 0, 0);
    EXPECT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 2), 1);
    EXPECT_EQ(Cell(0, 2), 7.0);  // the maximum, not 28
    SetFunction("+n", 0, 0);
    EXPECT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 1), 1);
    EXPECT_EQ(Cell(0, 1), 2.0);
    SetFunction("+c*r+v", 0, 2);  // c 0, r 2, v 7: 2 + 0 -> 2 * 2 -> 4 + 7
    EXPECT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 0), 1);
    EXPECT_EQ(Cell(0, 0), 11.0);
}

TEST_F(CellFunctionTest, DivisionByZeroHasUnevenBounds) {
    MakeGrid(2, 1, {1, 1});
    SetFunction("/0.0000000000001");
    EXPECT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 1), 0);
    EXPECT_EQ(P.Prompts.LastText(), Error("Divide by zero", 0, 1));
    EXPECT_EQ(Cell(0, 1), 1.0);
    SetFunction("/0.0000000000002");
    EXPECT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 1), 1);
    EXPECT_DOUBLE_EQ(Cell(0, 1), 5e12);
    Doc.SetValue(0, 0, -1e-12, 0, 1, 0, 1);
    SetFunction("/v");
    EXPECT_EQ(DoFunction(Doc, ScopeCell, 0, 1, 0), 0);
    EXPECT_EQ(P.Prompts.LastText(), Error("Divide by zero", 0, 1));
    Doc.SetValue(0, 0, -2e-12, 0, 1, 0, 1);
    SetFunction("/v");
    EXPECT_EQ(DoFunction(Doc, ScopeCell, 0, 1, 0), 1);
}

TEST_F(CellFunctionTest, NamesAreMatchedWholeInTheirOrder) {
    MakeGrid(1, 1, {0.5});
    SetFunction("asin");
    ASSERT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 0), 1);
    EXPECT_DOUBLE_EQ(Cell(0, 0), std::asin(0.5));
    SetFunction("sin");
    ASSERT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 0), 1);
    EXPECT_DOUBLE_EQ(Cell(0, 0), std::sin(std::asin(0.5)));
    Doc.SetValue(0, 0, 0.0, 0, 1, 0, 1);
    SetFunction("exp+1cos");  // 0 -> 1 -> 2 -> cos 2
    ASSERT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 0), 1);
    EXPECT_DOUBLE_EQ(Cell(0, 0), std::cos(2.0));
    // "ifnn" and "ifnp" are not "ifn" followed by the minimum.
    Doc.SetValue(0, 0, -3.0, 0, 1, 0, 1);
    SetFunction("ifnn*0");
    ASSERT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 0), 1);
    EXPECT_EQ(Cell(0, 0), -3.0);
    SetFunction("ifnp*2");
    ASSERT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 0), 1);
    EXPECT_EQ(Cell(0, 0), -6.0);
}

TEST_F(CellFunctionTest, ErrorsNameTheCellAndLeaveTheGridAlone) {
    MakeGrid(1, 3, {4, 0, -1});
    Doc.SetInOutTypeAndMode(1, -1, Text);
    SetFunction("+1");
    EXPECT_EQ(OnExecuteOnExampleRow(Doc, 0, 0), 0);
    EXPECT_EQ(P.Prompts.LastText(), Error("Function not allowed on text", 1, 0));
    EXPECT_EQ(Cell(0, 0), 4.0);
    struct {
        const char* function;
        int column;
        const char* message;
    } cases[] = {
        {"*-2", 0, "The function would produce an undefined result"},
        {"sqrt", 2, "Square root of negative number"},
        {"-4log", 0, "Log of negative or zero"},
        {"acos", 0, "The function would produce an undefined result"},
        {"+1(", 0, "Invalid or unsupported function"},
        {"Sin", 0, "Invalid or unsupported function"},
        {"pow999", 0, "The function would produce an 'out of range' result"},
        {"-5pow0.5", 0, "The function would produce an undefined result"},
        {"*", 0, "The function would produce an undefined result"},
    };
    for (const auto& c : cases) {
        Doc.m_CellFunction.Text = c.function;
        EXPECT_EQ(OnExecuteOnSelectedGridCell(Doc, c.column, 0), 0) << c.function;
        EXPECT_EQ(P.Prompts.LastText(), Error(c.message, c.column, 0)) << c.function;
    }
    EXPECT_EQ(Cell(0, 0), 4.0);
    EXPECT_EQ(Cell(2, 0), -1.0);
}

TEST_F(CellFunctionTest, CheckingCarriesTheValueAndExecutingReloadsIt) {
    MakeGrid(1, 1, {5});
    SetFunction("ifz+1");
    // Checking: 5 is not zero, +1 gives 6, nothing written.
    EXPECT_EQ(DoFunction(Doc, ScopeCell, 0, 0, 0), 1);
    EXPECT_EQ(Cell(0, 0), 5.0);
    EXPECT_EQ(DoFunction(Doc, ScopeCell, 0, 0, 1), 1);
    EXPECT_EQ(Cell(0, 0), 5.0);
    Doc.m_CellFunction.Text.clear();
    EXPECT_EQ(OnExecuteOnSelectedGridCell(Doc, 0, 0), 1);
    EXPECT_EQ(Cell(0, 0), 5.0);
}

TEST_F(CellFunctionTest, OperandsAreReadFromTheirPosition) {
    MakeGrid(1, 1, {1});
    Doc.m_CellFunction = {"+ 12.5e1x* 2 5/-3+.", 4, 3, 9.0, -1.0, 8.0};
    EXPECT_EQ(GetValueFromFunction(Doc, 1), 125.0);  // blanks passed, 'x' ends
    EXPECT_EQ(GetValueFromFunction(Doc, 8), 8.0);    // x
    EXPECT_EQ(GetValueFromFunction(Doc, 10), 25.0);  // the blank inside is passed over
    EXPECT_EQ(GetValueFromFunction(Doc, 15), kMissing);  // a sign cannot begin an operand
    EXPECT_EQ(GetValueFromFunction(Doc, 18), kMissing);  // no digit
    EXPECT_EQ(GetValueFromFunction(Doc, 99), kMissing);
}

TEST_F(CellFunctionTest, TheDialogAcceptsOnlyKnownEndingsAndCapturesOperands) {
    MakeGrid(2, 2, {1, 10, 3, 30});
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Function").TextValue = "+1ifz"; });
    P.Prompts.QueueDialogOk([](CDialogForm& f) {
        EXPECT_EQ(f.Text("Function"), "+1ifz");  // kept for correcting
        EXPECT_EQ(f.Text("Value"), "30.0000");
        EXPECT_EQ(f.Text("HighValue"), "30.0000");
        EXPECT_EQ(f.Text("LowValue"), "10.0000");
        f.Field("Function").TextValue = "";
    });
    P.Prompts.QueueDialogOk([](CDialogForm& f) { f.Field("Function").TextValue = "ifz+1"; });
    ASSERT_EQ(OnSetFunction(Doc, 1, 1), 1);
    EXPECT_EQ(Doc.m_CellFunction.Text, "ifz+1");
    EXPECT_EQ(Doc.m_CellFunction.Row, 1);
    EXPECT_EQ(Doc.m_CellFunction.Column, 1);
    EXPECT_EQ(Doc.m_CellFunction.CellValue, 30.0);
    EXPECT_EQ(Doc.m_CellFunction.ColumnMax, 30.0);
    EXPECT_EQ(Doc.m_CellFunction.ColumnMin, 10.0);
    Doc.SetValue(1, 1, 99.0, 0, 1, 0, 1);  // captured operands do not follow the Grid
    EXPECT_EQ(Doc.m_CellFunction.CellValue, 30.0);
    P.Prompts.QueueDialogCancel();
    EXPECT_EQ(OnSetFunction(Doc, 0, 0), 0);
    EXPECT_EQ(Doc.m_CellFunction.Text, "ifz+1");
}

}  // namespace
}  // namespace quorin::test

#pragma once
// The Query dialog's work on a document: walking through the examples, changing the inputs of
// a Querying row by steps, locks, seeks and their cycling. The dialog is a view over it: it
// shows the texts, lists and enabling below and calls one operation per control.
#include <string>
#include <vector>

namespace quorin {
class CQuorinDoc;

class CQuerySession {
public:
    enum EAction { Increase = 0, Decrease = 1, Min = 2, Max = 3, Set = 4, ToggleLock = 5 };

    explicit CQuerySession(CQuorinDoc& doc);

    // Opening: purges unused texts and images, answers the Querying rows and shows the first
    // Querying row. Closing: answers the rows again and redraws the views.
    void Open();
    void Close();
    bool IsOpen() const { return m_Open; }

    // ---- the dialog's controls ----
    void SetTypes(bool training, bool validating, bool querying);
    void SetShowReal(bool showReal);
    void First();
    void Previous();
    void Next();
    void Last();
    // Selecting an input (-1: none) fills the value field and chooses the grain.
    void SelectInput(int input);
    void SelectOutput(int output) { m_Output = output; }
    // The lock-mark list: toggles the input's lock.
    void LockListSelected(int input);
    // "&Increase" .. "S&et"; Set reads the value field.
    void Press(EAction action);
    void SetValueText(const std::string& text) { m_ValueText = text; }
    void SeekHigh();
    void SeekLow();
    // "&Add Query": a new Querying row, then the first example again.
    void AddQuery();
    void SaveQuery();
    // The Stop/Start Cycle button; while cycling, the view calls CyclePass repeatedly.
    void ToggleCycle();
    void CyclePass();
    bool Cycling() const { return m_Cycling; }

    // ---- what the dialog shows ----
    const std::string& IndexText() const { return m_IndexText; }
    const std::string& NameText() const { return m_NameText; }
    const std::string& TypeText() const { return m_TypeText; }
    const std::vector<std::string>& LockMarks() const { return m_LockMarks; }
    const std::vector<std::string>& InputNames() const { return m_InputNames; }
    const std::vector<std::string>& InputValues() const { return m_InputValues; }
    const std::vector<std::string>& OutputNames() const { return m_OutputNames; }
    const std::vector<std::string>& OutputValues() const { return m_OutputValues; }
    const std::string& ValueText() const { return m_ValueText; }
    int SelectedInput() const { return m_Input; }
    int SelectedOutput() const { return m_Output; }
    int Grain() const { return m_Grain; }
    bool TrainingSelected() const { return m_T; }
    bool ValidatingSelected() const { return m_V; }
    bool QueryingSelected() const { return m_Q; }
    bool ShowReal() const { return m_ShowReal; }
    // The value buttons, the seeks, the cycle button and "Save Queries" are enabled.
    bool ValueButtonsEnabled() const;
    int CurrentExample() const { return m_Current; }

    // ---- the operations behind them ----
    void DoQuery();
    // The type (0, 1 or 2) of the current example when the T, V, Q choice selects it, else 6.
    int FindQuery() const;
    void ChangeQuery(int action, int input, int grain, const std::string& valueText);
    static double GetIncrement(int grain, double lowest, double highest);
    void StepQuery(int input, int multiplier, int grain);
    int InputIsLocked(int column) const;
    void RefreshInputOutputLists(int example);
    void RefreshOutputValuesList();
    // One seek on an input for an output; returns the best output value found.
    double Seek(bool high, int input, int output, int grain);
    // The column of the input-th Input column, or -1.
    int InputColumn(int input) const;
    int OutputColumn(int output) const;
    // A value as the lists show it.
    std::string ValueText(int column, double real, double normalised);

private:
    bool CurrentIsQuerying() const;
    void MoveForward();
    void MoveBackward();
    void ShowFound();
    void ChooseGrain();
    void AfterValueChange();

    CQuorinDoc& m_Doc;
    bool m_Open = false;
    int m_Current = 0;
    bool m_T = false, m_V = false, m_Q = true, m_ShowReal = false;
    int m_Input = -1;
    int m_Output = -1;
    int m_Grain = 10;
    std::string m_ValueText;
    std::string m_IndexText, m_NameText, m_TypeText;
    std::vector<std::string> m_LockMarks, m_InputNames, m_InputValues, m_OutputNames,
        m_OutputValues;
    bool m_Cycling = false;
    bool m_SeekHigh = true;
    bool m_AnySeek = false;
    int m_NoImprovement = 0;
    double m_LastCycleBest = 0.0;
};

}  // namespace quorin

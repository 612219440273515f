#include "analysis/QuerySession.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>

#include "analysis/QueryImages.h"
#include "analysis/QueryRows.h"
#include "analysis/Querying.h"
#include "coding/HashTexts.h"
#include "coding/ImageList.h"
#include "coding/TextCodes.h"
#include "coding/ValueText.h"
#include "grid/QuorinDoc.h"
#include "network/Learning.h"
#include "network/Propagation.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
constexpr double kTolerance = 0.999990000099999;  // one part in 100000
constexpr double kBig = 3e38;

bool Missing(double v) { return v >= kBig || v <= -kBig; }

// A positive value a little nearer zero, a negative one a little further below it, so that a
// value at a negative highest value is not out of range.
double WithTolerance(double v) { return v >= 0.0 ? v * kTolerance : v * (2.0 - kTolerance); }

int FirstOutputNode(const CQuorinDoc& doc) {
    int node = 0;
    while (node < static_cast<int>(doc.m_Nodes.size()) && doc.m_Nodes[node].NodeType != OutputNode)
        ++node;
    return node;
}
}  // namespace

CQuerySession::CQuerySession(CQuorinDoc& doc) : m_Doc(doc) {}

void CQuerySession::Open() {
    m_Doc.App().Trace("OnActionQuery");
    const int columns = static_cast<int>(m_Doc.m_InOuts.size());
    for (int c = 0; c < columns; ++c) {
        if (m_Doc.m_InOuts[c].Mode == Text) PurgeHashTexts(m_Doc, c);
        if (m_Doc.m_InOuts[c].Mode == Image) PurgeImages(m_Doc, c);
    }
    TidyHashTexts(m_Doc);
    TidyImages(m_Doc);
    m_Current = -1;
    m_T = m_V = m_ShowReal = false;
    m_Q = true;
    m_Grain = 10;
    m_Input = m_Output = -1;
    m_Cycling = false;
    m_Open = true;
    Refresh(m_Doc, 1);
    Next();
}

void CQuerySession::Close() {
    m_Cycling = false;
    m_Open = false;
    m_Doc.m_ViewsMayRedraw = true;
    Refresh(m_Doc, 1);
    m_Doc.RefreshViews();
}

void CQuerySession::SetTypes(bool training, bool validating, bool querying) {
    m_T = training;
    m_V = validating;
    m_Q = querying;
}

void CQuerySession::SetShowReal(bool showReal) {
    if (m_ShowReal == showReal) return;
    m_ShowReal = showReal;
    ChooseGrain();
    DoQuery();
}

bool CQuerySession::CurrentIsQuerying() const {
    return m_Doc.ValidRow(m_Current) && m_Doc.m_Examples[m_Current].ExampleType == Querying;
}

bool CQuerySession::ValueButtonsEnabled() const { return CurrentIsQuerying(); }

int CQuerySession::FindQuery() const {
    m_Doc.App().Trace("FindQuery");
    if (!m_Doc.ValidRow(m_Current)) return 6;
    const int type = m_Doc.m_Examples[m_Current].ExampleType;
    if ((type == Training && m_T) || (type == Validating && m_V) || (type == Querying && m_Q))
        return type;
    return 6;
}

void CQuerySession::ShowFound() {
    static const char* const kTypes[] = {"training", "validating", "querying"};
    const CExample& ex = m_Doc.m_Examples[m_Current];
    m_IndexText = Format("%d", m_Current);
    m_NameText = ex.ExampleName;
    m_TypeText = ex.ExampleType >= 0 && ex.ExampleType <= 2 ? kTypes[ex.ExampleType] : "";
    DoQuery();
    m_Input = m_Output = -1;
}

void CQuerySession::MoveForward() {
    const int rows = static_cast<int>(m_Doc.m_Examples.size());
    for (;;) {
        ++m_Current;
        if (m_Current >= rows) {
            m_Current = rows;
            return;
        }
        if (FindQuery() != 6) return ShowFound();
    }
}

void CQuerySession::MoveBackward() {
    for (;;) {
        --m_Current;
        if (m_Current < 0) {
            m_Current = -1;
            return;
        }
        if (FindQuery() != 6) return ShowFound();
    }
}

void CQuerySession::First() {
    m_Current = -1;
    MoveForward();
}

void CQuerySession::Next() {
    const int rows = static_cast<int>(m_Doc.m_Examples.size());
    if (m_Current > rows - 1) m_Current = rows - 1;
    MoveForward();
}

void CQuerySession::Previous() {
    if (m_Current < 0) m_Current = 0;
    const int rows = static_cast<int>(m_Doc.m_Examples.size());
    if (m_Current > rows) m_Current = rows;
    MoveBackward();
}

void CQuerySession::Last() {
    m_Current = static_cast<int>(m_Doc.m_Examples.size());
    MoveBackward();
}

int CQuerySession::InputColumn(int input) const {
    if (input < 0) return -1;
    const int columns = std::min<int>(m_Doc.m_ColCount, static_cast<int>(m_Doc.m_InOuts.size()));
    for (int c = 0, n = 0; c < columns; ++c)
        if (m_Doc.m_InOuts[c].InOutType == Input && n++ == input) return c;
    return -1;
}

int CQuerySession::OutputColumn(int output) const {
    if (output < 0) return -1;
    const int columns = std::min<int>(m_Doc.m_ColCount, static_cast<int>(m_Doc.m_InOuts.size()));
    for (int c = 0, n = 0; c < columns; ++c)
        if (m_Doc.m_InOuts[c].InOutType == Output && n++ == output) return c;
    return -1;
}

int CQuerySession::InputIsLocked(int column) const {
    m_Doc.App().Trace("InputIsLocked   Column %d", column);
    return m_Doc.ValidCol(column) ? m_Doc.m_InOuts[column].Lock : 0;
}

std::string CQuerySession::ValueText(int column, double r, double n) {
    const CInOut& io = m_Doc.m_InOuts[column];
    if (Missing(r) || (io.Mode == Bool && n == m_Doc.m_Middle)) return "?";
    if (WithTolerance(n) > m_Doc.m_UpperLimit || WithTolerance(r) > io.HighValue ||
        n < m_Doc.m_LowerLimit || r < io.LowValue)
        return "Out of range";
    return m_ShowReal ? Format("%.6lf", r) : FormatValue(m_Doc, r, column);
}

void CQuerySession::RefreshInputOutputLists(int example) {
    m_Doc.App().Trace("RefreshInputOutputLists   Example %d", example);
    m_LockMarks.clear();
    m_InputNames.clear();
    m_InputValues.clear();
    m_OutputNames.clear();
    m_OutputValues.clear();
    if (!m_Doc.ValidRow(example)) return;
    const CExample& ex = m_Doc.m_Examples[example];
    const int columns = std::min({m_Doc.m_ColCount, static_cast<int>(m_Doc.m_InOuts.size()),
                                  static_cast<int>(ex.Values().size()),
                                  static_cast<int>(ex.NormalisedValues().size())});
    for (int c = 0; c < columns; ++c) {
        const CInOut& io = m_Doc.m_InOuts[c];
        if (io.InOutType == ExcludedCol) continue;
        const std::string text = ValueText(c, ex.Values()[c], ex.NormalisedValues()[c]);
        if (io.InOutType == Input) {
            m_InputNames.push_back(io.InOutName);
            m_InputValues.push_back(text);
            m_LockMarks.push_back(InputIsLocked(c) ? " -->" : " ");
        } else {
            m_OutputNames.push_back(io.InOutName);
            m_OutputValues.push_back(text);
        }
    }
}

void CQuerySession::RefreshOutputValuesList() {
    m_Doc.App().Trace("RefreshOutputValuesList");
    m_OutputValues.clear();
    int node = FirstOutputNode(m_Doc);
    const int columns = std::min<int>(m_Doc.m_ColCount, static_cast<int>(m_Doc.m_InOuts.size()));
    for (int c = 0; c < columns; ++c) {
        const CInOut& io = m_Doc.m_InOuts[c];
        if (io.InOutType != Output) continue;
        if (node >= static_cast<int>(m_Doc.m_Nodes.size())) break;
        const double v = io.LowValue + m_Doc.m_Nodes[node].Activation * (io.HighValue - io.LowValue);
        m_OutputValues.push_back(m_ShowReal ? Format("%.6lf", v) : FormatValue(m_Doc, v, c));
        node += NodesOf(io);
    }
}

void CQuerySession::DoQuery() {
    m_Doc.App().Trace("DoQuery");
    if (!m_Doc.ValidRow(m_Current)) return;
    RefreshInputOutputLists(m_Current);
    if (m_Doc.m_Nodes.empty() || !NetworkMatchesGrid(m_Doc)) return;
    std::lock_guard lock(m_Doc.m_NetworkMutex);
    if (!ConnectInputs(m_Doc, m_Current, 0)) return;
    CalculateActivations(m_Doc);
    RefreshOutputValuesList();
}

double CQuerySession::GetIncrement(int grain, double lowest, double highest) {
    // A grain of 0 has no steps: the value stays where it is.
    if (grain <= 0) return 0.0;
    return (highest - lowest) / grain;
}

void CQuerySession::ChangeQuery(int action, int input, int grain, const std::string& text) {
    m_Doc.App().Trace("ChangeQuery   Action %d Input %d Grain %d Value %s", action, input, grain,
                      text.c_str());
    const int col = InputColumn(input);
    if (col < 0 || !CurrentIsQuerying()) return;
    CInOut& io = m_Doc.m_InOuts[col];
    const double increment = GetIncrement(grain, io.LowValue, io.HighValue);
    if (action == ToggleLock) {
        m_Doc.SetInputLock(col, io.Lock ? 0 : 1);
        return;
    }
    if (action < Increase || action > Set || InputIsLocked(col)) return;
    const double current = m_Doc.m_Examples[m_Current].Values()[col];
    double value = current;
    switch (action) {
    case Increase:
        if (io.Mode == Text) value = GetNextText(m_Doc, col, current);
        else if (io.Mode == Image) value = GetNextImage(m_Doc, col, current);
        else value = std::min(current + increment, io.HighValue);
        break;
    case Decrease:
        if (io.Mode == Text) value = GetPreviousText(m_Doc, col, current);
        else if (io.Mode == Image) value = GetPreviousImage(m_Doc, col, current);
        else value = std::max(current - increment, io.LowValue);
        break;
    case Min:
        if (io.Mode == Text) value = GetFirstText(m_Doc, col);
        else if (io.Mode == Image) value = GetFirstImage(m_Doc, col);
        else value = io.LowValue;
        break;
    case Max:
        if (io.Mode == Text) value = GetLastText(m_Doc, col);
        else if (io.Mode == Image) value = GetLastImage(m_Doc, col);
        else value = io.HighValue;
        break;
    default:
        if (io.Mode == Text) value = GetHash(m_Doc, text);
        else if (io.Mode == Image) value = GetImageCode(m_Doc, text, col);
        else value = std::atof(text.c_str());
        break;
    }
    m_Doc.SetValue(col, m_Current, value, 0, 1, 1, 1);
}

void CQuerySession::StepQuery(int input, int multiplier, int grain) {
    m_Doc.App().Trace("StepQuery   Input %d Multiplier %d Grain %d", input, multiplier, grain);
    const int col = InputColumn(input);
    if (col < 0 || InputIsLocked(col) || grain <= 0) return;
    const CInOut& io = m_Doc.m_InOuts[col];
    double value = io.LowValue + GetIncrement(grain, io.LowValue, io.HighValue) * multiplier;
    if (io.Mode == Text && multiplier >= 1) value = GetNextTextHash(m_Doc, 0, value, col);
    if (io.Mode == Image && multiplier >= 1) value = GetNextImageCode(m_Doc, 0, value, col);
    if (CurrentIsQuerying() && value < 3e35) m_Doc.SetValue(col, m_Current, value, 0, 1, 0, 1);
}

double CQuerySession::Seek(bool high, int input, int output, int grain) {
    m_Doc.App().Trace("Seek   High %d Input %d Output %d Grain %d", high ? 1 : 0, input, output,
                      grain);
    double best = high ? -kBig : kBig;
    const int oc = OutputColumn(output);
    if (!CurrentIsQuerying() || InputColumn(input) < 0 || oc < 0) return best;
    m_Doc.m_ViewsMayRedraw = false;
    const bool showReal = m_ShowReal;
    m_ShowReal = true;
    int bestMultiplier = 0;
    const auto readOutput = [&] {
        return output < static_cast<int>(m_OutputValues.size())
                   ? std::atof(m_OutputValues[output].c_str())
                   : 0.0;
    };
    for (int m = 0; m <= std::max(grain, 0); ++m) {
        StepQuery(input, m, grain);
        DoQuery();
        const double v = readOutput();
        if (high ? v > best : v < best) {
            best = v;
            bestMultiplier = m;
        }
        m_Doc.SetValue(oc, m_Current, v, 0, 0, 0, 1);
    }
    StepQuery(input, bestMultiplier, grain);
    DoQuery();
    // Read at six decimals before the typed form is back: "true" or a text name would
    // read as 0.
    const double v = readOutput();
    m_ShowReal = showReal;
    DoQuery();
    m_Doc.SetValue(oc, m_Current, v, 0, 0, 0, 1);
    if (m_Cycling) {
        if (!(high ? best > m_LastCycleBest : best < m_LastCycleBest)) ++m_NoImprovement;
        m_LastCycleBest = best;
        m_AnySeek = true;
    }
    m_Doc.m_ViewsMayRedraw = true;
    return best;
}

void CQuerySession::ChooseGrain() {
    const int col = InputColumn(m_Input);
    if (col < 0) return;
    const CInOut& io = m_Doc.m_InOuts[col];
    switch (io.Mode) {
    case Real: m_Grain = 100; break;
    case Integer: {
        const double d = std::trunc(io.HighValue) - std::trunc(io.LowValue);
        m_Grain = d < 10.0 ? (d > 0.0 ? static_cast<int>(d) : 0) : 10;
        break;
    }
    case Bool: m_Grain = 1; break;
    case Text: m_Grain = GetHashInCol(m_Doc, col); break;
    default: break;  // Image keeps the grain it had
    }
    if (m_ShowReal) m_Grain = 100;
}

void CQuerySession::SelectInput(int input) {
    if (input < -1 || input >= static_cast<int>(m_InputValues.size())) input = -1;
    if (input == m_Input) return;
    m_Input = input;
    if (input < 0) return;
    const std::string& text = m_InputValues[input];
    if (text.rfind("Above", 0) == 0 || text.rfind("Below", 0) == 0) m_ValueText = text;
    else if (text == "true") m_ValueText = "1.0000";
    else if (text == "false") m_ValueText = "0.0000";
    else if (text.find('?') != std::string::npos) m_ValueText = "0.000";
    else m_ValueText = text;
    ChooseGrain();
}

void CQuerySession::LockListSelected(int input) {
    SelectInput(input);
    ChangeQuery(ToggleLock, input, m_Grain, m_ValueText);
    DoQuery();
}

void CQuerySession::AfterValueChange() {
    DoQuery();
    Refresh(m_Doc, 1);
}

void CQuerySession::Press(EAction action) {
    if (m_Input < 0 || action == ToggleLock) return;
    ChangeQuery(action, m_Input, m_Grain, m_ValueText);
    AfterValueChange();
}

void CQuerySession::SeekHigh() {
    m_SeekHigh = true;
    if (!m_Cycling && m_Input >= 0 && m_Output >= 0) Seek(true, m_Input, m_Output, m_Grain);
    m_Doc.m_ViewsMayRedraw = true;
    m_Doc.RefreshViews();
}

void CQuerySession::SeekLow() {
    m_SeekHigh = false;
    if (!m_Cycling && m_Input >= 0 && m_Output >= 0) Seek(false, m_Input, m_Output, m_Grain);
    m_Doc.m_ViewsMayRedraw = true;
    m_Doc.RefreshViews();
}

void CQuerySession::AddQuery() {
    quorin::AddQuery(m_Doc);
    First();
}

void CQuerySession::SaveQuery() { quorin::SaveQuery(m_Doc); }

void CQuerySession::ToggleCycle() {
    m_Cycling = !m_Cycling;
    if (m_Cycling) {
        m_NoImprovement = 0;
        m_AnySeek = false;
        m_LastCycleBest = m_SeekHigh ? -kBig : kBig;
        const int inputs = static_cast<int>(m_InputNames.size());
        for (int i = 0; i < inputs; ++i) ChangeQuery(Min, i, m_Grain, m_ValueText);
        m_Input = -1;
        DoQuery();
    }
    m_Doc.RefreshViews();
}

void CQuerySession::CyclePass() {
    if (!m_Cycling) return;
    const int inputs = static_cast<int>(m_InputNames.size());
    // A cycle never stores into a row that is not a Querying row (or no longer exists).
    if (inputs == 0 || !CurrentIsQuerying() || m_NoImprovement >= 10) {
        m_Cycling = false;
        m_Doc.RefreshViews();
        return;
    }
    int next = m_Input + 1;
    if (next >= inputs) {
        next = 0;
        if (m_AnySeek) ++m_NoImprovement;
        if (m_NoImprovement >= 10) {
            m_Cycling = false;
            m_Doc.RefreshViews();
            return;
        }
    }
    SelectInput(next);
    if (m_Output >= 0) Seek(m_SeekHigh, m_Input, m_Output, m_Grain);
}

}  // namespace quorin

#include "app/FormLayouts.h"

#include <map>

namespace quorin {

namespace {

CFormLayout L(std::vector<CFormBox> boxes, std::string defaultButton = {}, int minimumWidth = 0) {
    CFormLayout layout;
    layout.Boxes = std::move(boxes);
    layout.DefaultButton = std::move(defaultButton);
    layout.MinimumWidth = minimumWidth;
    return layout;
}

const std::map<std::string, CFormLayout>& Layouts() {
    static const std::map<std::string, CFormLayout> layouts = {
        {"Controls", L({{"Learning rate and momentum",
            0,
            {{"LearningRate", "DecayLearningRate", "OptimiseLearningRate"},
             {"Momentum", "DecayMomentum", "OptimiseMomentum"}}},
           {"Target error", 0, {{"TargetErrorMode", "TargetError"}}},
           {"Fixed period",
            0,
            {{"StopAfter", "StopSeconds", "StopSecondsUnit"}, {"StopOnCycle", "StopCycle"}}},
           {"Network reconfiguration",
            0,
            {{"ManualReconfiguration"}, {"GrowLayer1", "GrowLayer2", "GrowLayer3"}}},
           {"Validating",
            1,
            {{"CyclesBeforeFirstValidating"},
             {"CyclesPerValidating"},
             {"ValidatingTarget", "ValidatingTargetUnit", "ValidatingAre"},
             {"ValidatingMode", "WithinPercentage", "WithinUnit"},
             {"StopIfDecreases"}}},
           {"Random validating examples",
            1,
            {{"RandomValidating", "RandomValidatingFrom"}, {"RandomValidatingText"}}}})},
        {"NewNetwork", L({{"Input and output layers", 0, {{"InputLayer"}, {"OutputLayer"}}},
           {"Hidden layer nodes",
            0,
            {{"Hidden1Min", "Hidden1Max"}, {"Hidden2Min", "Hidden2Max"}, {"Hidden3Min", "Hidden3Max"}}},
           {"Growth",
            0,
            {{"Cycles", "Seconds", "=seconds"}, {"GrowLabel", "Grow1", "Grow2", "Grow3"}}}})},
        {"ImportOptions", L({{"Separators",
            0,
            {{"Tab", "Comma", "Space"}, {"Semicolon", "Colon", "Stop"}, {"Other", "OtherText"}}},
           {"Example row names", 0, {{"RowNames"}}},
           {"Example row type", 1, {{"RowType"}}}})},
        {"ImportLine", L({{"", 0, {{"Instructions"}, {"Grid"}}}, {"", 0, {{"Current"}}}, {"Line", 0, {{"Line"}}}},
          "Use", 560)},
        {"ImportColumn", L({{"", 0, {{"Column"}, {"Total"}}},
           {"", 0, {{"SetNext"}, {"SetAll"}}},
           {"Mode", 1, {{"Mode"}}},
           {"Type", 1, {{"Type"}}}},
          "",
          480)},  // room for the column's number, name and sample value on one line
        {"ImportRowType", L({{"", 0, {{"Rows"}}},
           {"", 0, {{"SetNext"}, {"SetAll"}}},
           {"Example row type", 1, {{"Type"}}}},
          "",
          360)},
        {"ImportFailure", L({{"", 0, {{"Line"}}}, {"", 0, {{"Text"}}}}, "Warn", 520)},
        {"ExtendLearning", L({{"When to copy",
            0,
            {{"After", "AfterUnit"}, {"Every", "EveryUnit", "CopiesLeft", "CopiesUnit"}}},
           {"The copy", 0, {{"JitterInputs"}, {"JitterOutputs"}, {"SetOutputsByQuerying"}}},
           {"Jitter", 1, {{"JitterLevel"}}},
           {"Range", 1, {{"RangeHandling"}}}})},
        {"OutputValidatingRules", L({{"",
            0,
            {{"Heading"},
             {"Within", "WithinPercentage>", "WithinScore"},
             {"Correct", "CorrectScore"}}}})},
        {"InputValidatingRules", L({{"", 0, {{"Heading"}, {"Value"}, {"Note"}}}})},
        {"SetFunction", L({{"", 0, {{"Function"}}},
           {"Selected cell", 0, {{"Value"}, {"Column"}, {"Row"}, {"HighValue"}, {"LowValue"}}},
           {"How to write a function",
            1,
            {{"Operators"}, {"Operands"}, {"Names"}, {"Conditions"}, {"Example1"}, {"Example2"}}}},
          "",
          640)},
        {"PossibleTextError", L({{"", 0, {{"Message"}}}, {"", 0, {{"1", "Text1"}, {"2", "Text2"}, {"3", "Text3"}}}, {"", 0, {{"Note"}}}},
          "1")},
        {"Information", L({{"", 0, {{"Text"}, {"DoNotShow"}}}}, "", 420)},
        {"Diagnostics", L({{"Levels", 0, {{"Warning"}, {"Diagnostic"}, {"Trace"}}}})},
        {"ScriptFile", L({{"", 0, {{"File"}}}}, "Run", 420)},
        {"Optimize", L({{"", 0, {{"Heading"}, {"Rates"}, {"Error"}}}}, "", 360)},
        {"Pruning", L({{"", 0, {{"Heading"}, {"Enable"}, {"Threshold"}, {"Cycles", "CyclesUnit"}}}})},
        {"AutoSave", L({{"", 0, {{"Period", "PeriodUnit"}}},
           {"Save a copy", 0, {{"Error"}, {"Validating"}, {"Backup"}}},
           {"", 0, {{"DontAsk"}, {"Details"}}}})},
        {"MissingData", L({{"", 0, {{"Choice"}, {"Range"}}}, {"", 0, {{"Note"}}}}, "", 440)},
        {"FileQuery", L({{"Separators",
            0,
            {{"Tab", "Comma", "Space"}, {"Semicolon", "Colon", "Stop"}, {"Other", "OtherText"}}},
           {"Names", 0, {{"NoRowNames"}, {"NoColumnNames"}}}})},
        {"LeaveSomeOut", L({{"",
            0,
            {{"Examples", "Rows", "ExamplesText"}, {"ReselectText", "Cycles", "CyclesText"}}}})},
        {"LeaveSomeOutPreparation", L({{"", 0, {{"Text"}}},
           {"Before starting", 0, {{"Validating"}, {"Querying"}, {"Excluded"}, {"Duplicated"}}}},
          "", 440)},
        {"CopyInputOutputs", L({{"", 0, {{"From"}, {"Count"}, {"Offset", "OffsetUnit"}, {"Output"}}}})},
        {"EditGridRange", L({{"Example rows", 0, {{"RowNumbers"}, {"RowFrom"}, {"RowCount"}, {"RowType"}}},
           {"Input/Output column types", 1, {{"ColumnNumbers"}, {"TypeFrom"}, {"TypeCount"}, {"ColumnType"}}},
           {"Input/Output column modes", 2, {{"ModeFrom"}, {"ModeCount"}, {"Mode"}}}})},
        {"Find", L({{"", 0, {{"Text"}}}}, "", 360)},
        {"Goto", L({{"", 0, {{"Row"}, {"Column"}}}})},
        {"ExampleName", L({{"", 0, {{"Name"}}}}, "", 360)},
        {"InOutName", L({{"", 0, {{"Name"}}}}, "", 360)},
    };
    return layouts;
}

}  // namespace

const CFormLayout* FindFormLayout(const std::string& formId) {
    const auto& layouts = Layouts();
    auto it = layouts.find(formId);
    return it == layouts.end() ? nullptr : &it->second;
}

std::vector<std::string> LaidOutForms() {
    std::vector<std::string> ids;
    for (const auto& [id, layout] : Layouts()) ids.push_back(id);
    return ids;
}

}  // namespace quorin

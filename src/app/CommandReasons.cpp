#include "app/CommandReasons.h"

#include <QCoreApplication>
#include <map>

namespace quorin {

QString NotOfferedReason(const QString& name) {
    static const std::map<QString, const char*> reasons = {
        {"HelpTipOfTheDay", "Tips of the day are not written yet: Help Topics and Getting Started cover the same ground"},
        {"EditFragmentImage", "Image columns are edited by the image commands, which this build does not include"},
        {"EditAssociateImages", "Image columns are edited by the image commands, which this build does not include"},
        {"EditChangeRange", "The Grid range commands are not part of this build"},
        {"EditChangeColumnTypes", "The Grid range commands are not part of this build"},
        {"EditChangeRowTypes", "The Grid range commands are not part of this build"},
        {"EditCopyColumns", "The Grid range commands are not part of this build"},
        {"EditCopyRows", "The Grid range commands are not part of this build"},
        {"EditDuplicateRows", "The Grid range commands are not part of this build"},
        {"EditRemoveDuplicates", "The Grid range commands are not part of this build"},
        {"EditExcludeIncompleteRows", "The Grid range commands are not part of this build"},
        {"EditExcludeIncompleteColumns", "The Grid range commands are not part of this build"},
        {"OptionsMissingData", "The Grid range commands are not part of this build"},
        {"ViewExampleErrors", "The analysis charts are not part of this build"},
        {"ViewImportanceAscending", "The analysis charts are not part of this build"},
        {"ViewImportanceDescending", "The analysis charts are not part of this build"},
        {"ViewClusters", "The analysis charts are not part of this build"},
        {"ViewAssociations", "The analysis charts are not part of this build"},
        {"ActionCheckGrid", "The Grid check is not part of this build"},
        {"ActionStartAssociating", "Associating is not part of this build"},
        {"ActionQuery", "The Query dialog is not part of this build; Querying rows are answered in the Grid"},
        {"ActionFileQuery", "The Query dialog is not part of this build; Querying rows are answered in the Grid"},
        {"ActionReduceConnections", "Pruning and connection reduction are not part of this build"},
        {"OptionsPruning", "Pruning and connection reduction are not part of this build"},
        {"OptionsResetPruning", "Pruning and connection reduction are not part of this build"},
        {"ActionLeaveOut", "Leave Some Out is not part of this build"},
        {"OptionsAutoSave", "Auto Save is not part of this build"},
        {"OptionsResetLowestErrorSaved", "Auto Save is not part of this build"},
        {"OptionsResetHighestValidatingSaved", "Auto Save is not part of this build"},
        {"FilePrint", "Printing is not part of this build"},
        {"FilePrintPreview", "Printing is not part of this build"},
        {"FilePrintSetup", "Printing is not part of this build"},
        {"OptionsFile", "The Special Files dialog is not part of this build; the script keyword sets them"},
    };
    auto it = reasons.find(name);
    return it == reasons.end() ? QString() : QCoreApplication::translate("Commands", it->second);
}

}  // namespace quorin

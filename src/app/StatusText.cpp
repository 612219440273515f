#include "app/StatusText.h"

#include "platform/StringFormat.h"

namespace quorin {

std::string StatusText(int status, int count) {
    switch (status) {
        case 7: return Format("Validating in range: %d cycles", count);
        case 8: return Format("Validating correct: %d cycles", count);
        case 11: return Format("Average error below target: %d cycles", count);
        case 12: return Format("All errors below target: %d cycles", count);
        case 14: return Format("Learning: %d cycles", count);
        case 15: return Format("Not learning: %d cycles", count);
        case 16: return Format("Associating: column %d", count);
        case 17: return Format("Not Associating: column %d", count);
        case 18: return "Stopped";
        default: return "Unknown status";
    }
}

std::string GraphCaption(int status, double validatingTarget, double withinPercentage) {
    switch (status) {
        case 7:
            return Format("Learning finished - %.2lf%% of validating examples are within %.2lf%% "
                          "of the desired values.",
                          validatingTarget, withinPercentage);
        case 8: return "Learning finished - validating correct.";
        case 11: return "Learning finished - average error below target.";
        case 12: return "Learning finished - all errors below target.";
        case 14: return "Network learning.";
        case 15: return "Network not learning.";
        case 16: return "Network is associating.";
        default: return {};
    }
}

}  // namespace quorin

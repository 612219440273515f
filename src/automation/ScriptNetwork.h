#pragma once
// Script commands that reshape the network and write its analysis: "reduceconnections",
// "pruning", "optimizenetwork" and "analysis".
#include <cstdint>
#include <string>
#include <vector>

namespace quorin {
class CQuorinDoc;

void ScriptReduceConnections(CQuorinDoc& doc, const std::vector<std::string>& p,
                             const std::string& line);
void ScriptPruning(CQuorinDoc& doc, const std::vector<std::string>& p);
// `maxConnections` bounds the network the largest sizes could build; growth trials run only
// when `allowLearning`.
void ScriptOptimizeNetwork(CQuorinDoc& doc, const std::vector<std::string>& p,
                           const std::string& line, std::int64_t maxConnections,
                           bool allowLearning);
// `fallbackPath` names the file when neither the line nor the document has a path.
void ScriptAnalysis(CQuorinDoc& doc, const std::vector<std::string>& p,
                    const std::string& fallbackPath);

}  // namespace quorin

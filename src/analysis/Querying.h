#pragma once
// Answering the Querying and Duplicate rows with the current network.
namespace quorin {
class CQuorinDoc;

// Answers every Querying and Duplicate row; takes the network lock, so it waits for a
// learning cycle in progress to end.
void Refresh(CQuorinDoc& doc, int modified = 1);
// The same for a caller that already holds the network lock (the learning thread).
void AnswerQueryingRows(CQuorinDoc& doc, int modified);
// Menu Action > Refresh; while a learning cycle holds the network the learning thread
// answers the rows before its next cycle.
void OnActionRefresh(CQuorinDoc& doc);

// The views' timer tick (every kAutoRefreshMs): while the document learns or a stop
// request is pending, answers the Querying rows. Never waits for the learning thread:
// when a cycle holds the network, the thread answers them before its next cycle.
void AutoRefresh(CQuorinDoc& doc);
inline constexpr unsigned kAutoRefreshMs = 5000;

// Menu availability.
bool CanRefresh(const CQuorinDoc& doc);
bool CanQuery(const CQuorinDoc& doc);

}  // namespace quorin

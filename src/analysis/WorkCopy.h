#pragma once
// Private copies of a document for work done off the user-interface thread (Leave Some
// Out steps, File Query): the Grid, the network and every setting propagation, validation
// and normalisation read. A copy lives in an application of its own that never traces,
// prompts or redraws, so work on it cannot reach the person or the real document's views.
#include <memory>

#include "grid/QuorinDoc.h"
#include "platform/MemorySettings.h"

namespace quorin {

class CWorkApp {
public:
    explicit CWorkApp(IClock& clock);
    ~CWorkApp();
    CQuorinApp& App() { return *m_App; }

private:
    class CSilent;
    std::unique_ptr<CSilent> m_Silent;
    CMemorySettings m_Settings;
    std::unique_ptr<CQuorinApp> m_App;
};

// Makes `to` hold the Grid, the network and the settings of `from`.
void CopyForWork(CQuorinDoc& from, CQuorinDoc& to);

// The state a learning run leaves behind: the network records, each row's error and the
// learning counters. Copies it from `from` to `to` (the Grids must have the same rows).
void CopyLearningState(CQuorinDoc& from, CQuorinDoc& to);

}  // namespace quorin

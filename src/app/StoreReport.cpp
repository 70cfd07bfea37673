#include "app/StoreReport.h"

#include <cstdio>

#include "persist/SystemStore.h"

void StoreReport::Attach(P25Class& decoder)
{
    SetStoreNotices(decoder, [this](const StoreNotice& notice) { Report(notice); });
}

void StoreReport::Report(const StoreNotice& notice)
{
    if (notice.kind == StoreNotice::Kind::NotSaved)
        saveFailed_ = true;
    // One call, so that lines of two threads never mix.
    std::fprintf(stderr, "varnel: %s\n", notice.Text().c_str());
}

#include "UserIDs.h"

#include <unistd.h>

namespace {

class RealUserIDs : public QorUserIDs {
public:
    uid_t RealUserID() override { return getuid(); }
    uid_t EffectiveUserID() override { return geteuid(); }
    int SetEffectiveUserID(uid_t uid) override { return seteuid(uid); }
};

RealUserIDs gRealUserIDs;
QorUserIDs* gUserIDs = &gRealUserIDs;

} // namespace

QorUserIDs& QorCurrentUserIDs() {
    return *gUserIDs;
}

void QorInstallUserIDs(QorUserIDs* ids) {
    gUserIDs = ids ? ids : &gRealUserIDs;
}

#include "SCVolumeNames.h"

#include "Volumes.h"

#include <string>

namespace {

// The rows of the task list are described one after the other: the mount table is read once
// for all of them.
class SystemVolumeNames : public SCVolumeNames {
public:
    bool isVolumeRoot(const QString& path, QString* outName) const override {
        std::string name;
        if (!mTable.Current().IsVolumeRoot(path.toStdString(), &name)) {
            return false;
        }
        if (outName) {
            *outName = QString::fromStdString(name);
        }
        return true;
    }

private:
    QorVolumeTable mTable;
};

SystemVolumeNames gSystemVolumeNames;
SCVolumeNames* gVolumeNames = &gSystemVolumeNames;

} // namespace

SCVolumeNames& SCCurrentVolumeNames() {
    return *gVolumeNames;
}

void SCInstallVolumeNames(SCVolumeNames* names) {
    gVolumeNames = names ? names : &gSystemVolumeNames;
}

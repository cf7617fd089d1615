#include "SCVolumeNames.h"

#include "Volumes.h"

#include <string>

namespace {

class SystemVolumeNames : public SCVolumeNames {
public:
    bool isVolumeRoot(const QString& path, QString* outName) const override {
        std::string name;
        if (!QorIsVolumeRoot(path.toStdString(), &name)) {
            return false;
        }
        if (outName) {
            *outName = QString::fromStdString(name);
        }
        return true;
    }
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

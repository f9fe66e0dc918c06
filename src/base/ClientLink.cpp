#include "base/ClientLink.h"

namespace melodrop {

void ClientLink::set(const aol::LinkStatus& status) {
    if (status == status_) return;
    status_ = status;
    emit changed();
}

}  // namespace melodrop

#include "installer/msi/Machine.h"

namespace msi {

Machine& Machine::Get()
{
    static Machine machine;
    return machine;
}

Host& Machine::GetHost()
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    return host_ ? *host_ : localHost_;
}

void Machine::SetHost(Host* host)
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    host_ = host;
}

void Machine::Reset()
{
    std::lock_guard<std::recursive_mutex> lock(LayerMutex());
    registry_.Clear();
    products_.Clear();
    host_ = nullptr;
}

} // namespace msi

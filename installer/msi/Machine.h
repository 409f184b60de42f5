#pragma once
// The machine an installation runs on: its registry hives, its installed
// products and the host that reaches everything else. One per process.

#include "installer/msi/Handles.h"
#include "installer/msi/Host.h"
#include "installer/msi/LocalHost.h"
#include "installer/msi/Products.h"
#include "installer/msi/RegistryStore.h"

namespace msi {

class Machine {
public:
    static Machine& Get();

    RegistryStore& Registry() { return registry_; }
    Products& GetProducts() { return products_; }

    // The host actions use: the one set, else the local host.
    Host& GetHost();
    // Not owned; null puts the local host back.
    void SetHost(Host* host);

    // Empty hives, no products, the local host.
    void Reset();

private:
    RegistryStore registry_;
    Products products_;
    LocalHost localHost_;
    Host* host_ = nullptr;
};

} // namespace msi

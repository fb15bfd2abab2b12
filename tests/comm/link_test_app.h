#pragma once
// What the link test programs share: the one Qt core application their
// event loops and timers need, made on first use, and link settings made
// from the defaults with a test's changes.
#include <QCoreApplication>

#include "comm/comm_module.h"

namespace kivtest {

inline QCoreApplication& App() {
    static int argc = 1;
    static char name[] = "kiv_link_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

template <typename Change>
kiv::TLinkSettings LinkOf(Change change) {
    kiv::TLinkSettings link;
    change(link);
    return link;
}

} // namespace kivtest

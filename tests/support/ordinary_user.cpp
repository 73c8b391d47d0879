#include "tests/support/ordinary_user.h"

#include <cstdlib>
#include <unistd.h>

namespace {

constexpr const char* nobody = "65534";

OrdinaryUser chooseOrdinaryUser()
{
    if (geteuid() != 0) return {{}, std::to_string(geteuid()) + ":" + std::to_string(getegid())};
    const std::vector<std::string> asNobody {"setpriv", std::string("--reuid=") + nobody,
                                             std::string("--regid=") + nobody, "--clear-groups"};
    if (std::system("setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null") == 0)
        return {asNobody, std::string(nobody) + ":" + nobody};
    // Dropping capabilities needs no privilege; with none left to inherit
    // or regain, root's programs meet file modes as their owner does.
    return {{"setpriv", "--inh-caps=-all", "--ambient-caps=-all", "--bounding-set=-all"}, "0:0"};
}

} // namespace

const OrdinaryUser& ordinaryUser()
{
    static const OrdinaryUser user = chooseOrdinaryUser();
    return user;
}

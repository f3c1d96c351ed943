#include "dbf/order_check.h"

#include "dbf/cdx_sort.h"

namespace dbf {

std::vector<std::string> check_orders(Table& table) {
    std::vector<std::string> problems;
    const OrderList& orders = table.orders();
    std::uint32_t count = table.reccount();
    // The records once, every order's keys from them.
    std::vector<std::vector<cdx::Entry>> expected(static_cast<std::size_t>(orders.count()));
    for (std::uint32_t n = 1; n <= count; ++n) {
        if (!table.go_to(n)) {
            problems.push_back("record " + std::to_string(n) + " cannot be read");
            continue;
        }
        for (int i = 1; i <= orders.count(); ++i)
            if (auto key = orders.at(i).order.key_of(table.header(), table.record(), n))
                expected[static_cast<std::size_t>(i - 1)].push_back({*key, n, 0});
    }
    for (int i = 1; i <= orders.count(); ++i) {
        const Order& order = orders.at(i).order;
        std::string name = "order " + order.tag().name + " (" + order.file().path() + "): ";
        std::vector<cdx::Entry>& want = expected[static_cast<std::size_t>(i - 1)];
        cdx::sort_keys(want, order.tag().unique());
        IndexFile::Access access(order.file(), false);
        if (!access.ok()) {
            problems.push_back(name + "cannot be read");
            continue;
        }
        std::vector<std::string> shape;
        if (!order.tree().verify(shape)) {
            problems.push_back(name + "damaged");
            continue;
        }
        for (const std::string& s : shape) problems.push_back(name + s);
        std::vector<cdx::Entry> have;
        bool ok = order.tree().scan(cdx::Entry{}, [&](const cdx::Entry& e) {
            have.push_back(e);
            return have.size() <= want.size() + 1;
        });
        if (!ok) {
            problems.push_back(name + "damaged");
            continue;
        }
        std::size_t at = 0;
        while (at < have.size() && at < want.size() && have[at].key == want[at].key &&
               have[at].recno == want[at].recno)
            ++at;
        if (at != have.size() || at != want.size()) {
            std::string where = at < want.size() ? "record " + std::to_string(want[at].recno)
                                                 : "record " + std::to_string(have[at].recno);
            problems.push_back(name + std::to_string(have.size()) + " keys where the records give " +
                               std::to_string(want.size()) + "; first difference at key " +
                               std::to_string(at + 1) + ", " + where);
        }
    }
    return problems;
}

}  // namespace dbf

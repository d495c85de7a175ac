#include "Rc4.h"

#include <array>
#include <utility>

namespace Rc4 {
tduomenys Apply(const QByteArray& key, const tduomenys& data) {
    if (key.isEmpty())
        return data;
    std::array<quint8, 256> s{};
    for (int i = 0; i < 256; ++i)
        s[std::size_t(i)] = quint8(i);
    quint8 j = 0;
    for (int i = 0; i < 256; ++i) {
        j = quint8(j + s[std::size_t(i)] + quint8(key[i % key.size()]));
        std::swap(s[std::size_t(i)], s[j]);
    }
    tduomenys out(data.size());
    quint8 i = 0;
    j = 0;
    for (std::size_t k = 0; k < data.size(); ++k) {
        i = quint8(i + 1);
        j = quint8(j + s[i]);
        std::swap(s[i], s[j]);
        out[k] = data[k] ^ s[quint8(s[i] + s[j])];
    }
    return out;
}
} // namespace Rc4

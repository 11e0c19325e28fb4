// Decodes arbitrary bytes as an LZMA stream without fault; and, where liblzma is at hand, decodes
// what it encodes of the same bytes back to them.
#include <cstdint>
#include <string>

#if __has_include(<lzma.h>)
#include <lzma.h>
#endif

#include "discimage/lzma.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const kavri::LzmaProperties props{3, 0, 2, 1 << 16};
    if (const auto out = kavri::DecodeLzma(bytes, props, 4 * size); out && out->size() != 4 * size) __builtin_trap();
#if __has_include(<lzma.h>)
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 6);
    options.dict_size = props.dictionarySize;
    lzma_filter filters[] = {{LZMA_FILTER_LZMA1, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    std::string packed(size * 2 + 64, '\0');
    std::size_t packedSize = 0;
    if (lzma_raw_buffer_encode(filters, nullptr, data, size, reinterpret_cast<std::uint8_t*>(packed.data()), &packedSize,
                               packed.size()) != LZMA_OK)
        __builtin_trap();
    packed.resize(packedSize);
    if (kavri::DecodeLzma(packed, props, size) != bytes) __builtin_trap();
#endif
    return 0;
}

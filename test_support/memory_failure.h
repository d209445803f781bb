// Memory that the module can't have, on demand, for as long as the guard
// lives. Allocations the heap can serve from what it holds already may still
// succeed; one that needs fresh memory fails.
// - Linux: every free range of the address space is reserved (nothing is
//   committed, so the machine loses nothing).
// - Windows: the module's imports of the C runtime's allocators answer null.
//   Reserving the address space there is no option: Wine keeps a byte per
//   reserved page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <cstring>
#else
#include <sys/mman.h>
#endif

namespace orv::test {

#ifdef _WIN32

class ModuleAllocationsFail {
   public:
    explicit ModuleAllocationsFail(const std::string& modulePath) {
        auto* base = reinterpret_cast<uint8_t*>(GetModuleHandleA(modulePath.c_str()));
        if (base == nullptr) return;
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name != 0; ++d) {
            if (_stricmp(reinterpret_cast<const char*>(base + d->Name), "msvcrt.dll") != 0) continue;
            auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                const char* name = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name;
                if (std::strcmp(name, "malloc") == 0) patch(slots, reinterpret_cast<ULONG_PTR>(&no_malloc));
                if (std::strcmp(name, "calloc") == 0) patch(slots, reinterpret_cast<ULONG_PTR>(&no_calloc));
                if (std::strcmp(name, "realloc") == 0) patch(slots, reinterpret_cast<ULONG_PTR>(&no_realloc));
            }
        }
    }
    ~ModuleAllocationsFail() {
        for (auto [slot, old] : patched_) write(slot, old);
    }
    ModuleAllocationsFail(const ModuleAllocationsFail&) = delete;
    ModuleAllocationsFail& operator=(const ModuleAllocationsFail&) = delete;

    bool active() const { return patched_.size() == 3; }

   private:
    static void* no_malloc(size_t) { return nullptr; }
    static void* no_calloc(size_t, size_t) { return nullptr; }
    static void* no_realloc(void*, size_t) { return nullptr; }
    static void write(IMAGE_THUNK_DATA* slot, ULONG_PTR value) {
        DWORD old = 0;
        VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
        slot->u1.Function = value;
        VirtualProtect(slot, sizeof *slot, old, &old);
    }
    void patch(IMAGE_THUNK_DATA* slot, ULONG_PTR value) {
        patched_.emplace_back(slot, slot->u1.Function);
        write(slot, value);
    }
    std::vector<std::pair<IMAGE_THUNK_DATA*, ULONG_PTR>> patched_;
};

#else

class ModuleAllocationsFail {
   public:
    explicit ModuleAllocationsFail(const std::string&) {
        blocks_.reserve(1 << 14);
        for (size_t size = size_t{1} << 42; size >= (size_t{1} << 16); size >>= 1)
            while (blocks_.size() < blocks_.capacity()) {
                void* p = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
                if (p == MAP_FAILED) break;
                blocks_.emplace_back(p, size);
                reserved_ += size;
            }
    }
    ~ModuleAllocationsFail() {
        for (auto [p, size] : blocks_) munmap(p, size);
    }
    ModuleAllocationsFail(const ModuleAllocationsFail&) = delete;
    ModuleAllocationsFail& operator=(const ModuleAllocationsFail&) = delete;

    bool active() const { return reserved_ > (size_t{1} << 32); }

   private:
    std::vector<std::pair<void*, size_t>> blocks_;
    size_t reserved_ = 0;
};

#endif

}  // namespace orv::test

// DescriptorCode: the RVA of KBDTABLES, read from the machine code of
// KbdLayerDescriptor as the kernel reads it (it never runs the code). Each mode
// accepts only its own exact instruction forms:
//   x86:   B8 imm32 C3                  mov eax, imm32; ret
//   x64:   48 8D 05 disp32 C3           lea rax, [rip + disp32]; ret
//   wow64: B8 imm32 31 D2 C3            mov eax, imm32; xor edx, edx; ret
//          B8 imm32 33 D2 C3            (the other encoding of the xor)
//          B8 imm32 99 C3               mov eax, imm32; cdq; ret
// so that an x86 image never reads as wow64 nor the other way round.
#pragma once

#include <stdint.h>

#include "tools/layoutfile/DataSectionReader.h"

bool TablesRvaFromDescriptor(DataSectionReader* data, LayoutFileMode mode, uint32_t functionRva, uint64_t* tablesRva);

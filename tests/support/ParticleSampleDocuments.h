#pragma once
// Writer-made documents with particle systems, for the inspector's test, the
// render tests and the fuzzer's seed corpus: one slide of field systems
// with every blend and glow mode, old stored forms, and damaged records.

#include <cstddef>
#include <functional>
#include <vector>

#include "tests/support/ParticleWriter.h"
#include "tests/support/SampleDocuments.h"

// The link under which the particle documents store their dot picture.
inline constexpr char16_t kSampleDotPicture[] = u"pictures\\dot.bmp";
inline constexpr std::int64_t kSampleDotId = 41;

// A controller named `name` drawing the dot at size 4.
particle_writer::ControllerFields SampleDotController(std::u16string name);

// A field system of `positions` points on a line, drawing the dot.
particle_writer::FieldFields SampleField(std::u16string name, int positions);

// A document of one slide over the ground picture holding the `count`
// objects that `writeObjects` writes, with the dot picture stored.
std::vector<std::uint8_t> ParticleSlideDocument(std::size_t count,
                                                const std::function<void(DocumentWriter&)>& writeObjects);

// A document of one slide holding `fields`, with the dot picture stored.
std::vector<std::uint8_t> FieldSystemsDocument(const std::vector<particle_writer::FieldFields>& fields);

std::vector<SampleDocument> ParticleSampleDocuments();

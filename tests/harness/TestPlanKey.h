#pragma once

#include "model/Document.h"

// Tests and benchmarks fill plans as the plan-file reader does, through the writable
// references of Document: views, appearances and records no edit would make (a damaged
// colour code, a view stored behind the list's back, a cached appearance changed in place).
struct TestPlanKey
{
    static Document::FillKey key() { return Document::FillKey(); }
};

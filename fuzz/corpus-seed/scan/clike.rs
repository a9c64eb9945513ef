// [impl->REQ-LOGIN-001] and [unit->REQ-LOGIN-001]
let s = "// [impl->REQ-NOT-1]"; /* [doc->REQ-A-1]
   [review->REQ-B-2] [impl -> REQ-BAD] */ x = 1; /* [int->REQ-C-3] */
/// [impl->REQ-LOGIN-001] [impl->REQ-LOGIN-001] [nope->REQ-X-1] [impl->req-lower]

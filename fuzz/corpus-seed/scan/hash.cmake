# [impl->REQ-CM-1] [review->REQ-CM-2]
set(X "[impl->REQ-NO-1]") # [unit->REQ-CM-3->REQ-CM-4]

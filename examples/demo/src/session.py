"""Session handling.

Sessions expire after a period without activity. [impl->REQ-SESSION-001]
"""

import time

IDLE_LIMIT_SECONDS = 30 * 60


def expired(last_seen: float, now: float | None = None) -> bool:
    # For the scanner the first "#" on a line starts a comment, even one inside a "string".
    now = time.time() if now is None else now
    return now - last_seen > IDLE_LIMIT_SECONDS


def export_csv(rows):
    # [impl->REQ-EXPORT-001]
    return "\n".join(",".join(str(cell) for cell in row) for row in rows)

from src.session import expired, export_csv


def test_expired_after_thirty_minutes():  # [unit->REQ-SESSION-001]
    assert expired(0, 31 * 60)


def test_export_writes_one_line_per_row():  # [unit->REQ-EXPORT-001]
    assert export_csv([[1, 2], [3, 4]]) == "1,2\n3,4"

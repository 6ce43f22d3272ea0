CREATE OR REPLACE TRIGGER emp_audit
  AFTER INSERT OR UPDATE OF salary ON emp
  REFERENCING NEW AS n OLD AS o
  FOR EACH ROW
BEGIN
  INSERT INTO audit_log VALUES (:n.id, :o.salary, "x<y" & 'a');
END;
/

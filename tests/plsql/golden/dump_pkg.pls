CREATE OR REPLACE PACKAGE emp_pkg AUTHID CURRENT_USER IS
  g_count NUMBER := 0;
  PROCEDURE hire(p_name IN VARCHAR2);
  FUNCTION total RETURN NUMBER;
END emp_pkg;
/
CREATE OR REPLACE PACKAGE BODY emp_pkg IS
  PROCEDURE hire(p_name IN VARCHAR2) IS
  BEGIN
    INSERT INTO emp(name) VALUES (p_name);
    g_count := g_count + 1;
  END hire;
  FUNCTION total RETURN NUMBER IS
  BEGIN
    RETURN g_count;
  END total;
END emp_pkg;
/

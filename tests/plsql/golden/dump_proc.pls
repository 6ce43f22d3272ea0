CREATE OR REPLACE PROCEDURE raise_salary (
    p_emp_id  IN NUMBER,
    p_percent IN NUMBER DEFAULT 10
) IS
    v_salary NUMBER(10, 2);
BEGIN
    SELECT salary INTO v_salary FROM employees WHERE employee_id = p_emp_id;
    IF v_salary IS NULL THEN
        RAISE_APPLICATION_ERROR(-20001, 'No salary for employee');
    END IF;
    UPDATE employees
       SET salary = v_salary * (1 + p_percent / 100)
     WHERE employee_id = p_emp_id;
EXCEPTION
    WHEN NO_DATA_FOUND THEN
        NULL;
END raise_salary;
/

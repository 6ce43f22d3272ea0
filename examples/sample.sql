-- Sample T-SQL source for the analyzer: a table, a procedure, a trigger, a
-- default, a rule and a few statements that the target lacks.
create table orders (
    order_id   int          not null,
    customer   varchar(40)  not null,
    amount     money        null,
    placed_at  datetime     default getdate()
)
go

create procedure order_totals @customer varchar(40)
with recompile
as
begin
    set nocount on
    select customer, count(*) as order_count, sum(amount) as total
      from orders
     where customer = @customer
     group by customer
    if @@error <> 0
        return 1
    return 0
end
go

create trigger orders_check on orders for insert
as
    if exists (select 1 from inserted where amount < 0)
    begin
        raiserror 20001 "Negative amount"
        rollback trigger
    end
go

create default zero_amount as 0
go

create rule positive_amount
as @amount >= 0
go

checkpoint
update statistics orders
go
GO

set rowcount 10
select o.order_id, o.customer, o.amount
  from orders o
 order by o.amount desc
set rowcount 0
exec sp_who
print "done"
go
